// The screen saver's settings as Windows keeps them for each user: DWORD values under
// HKEY_CURRENT_USER\Software\zorvik, through the platform. A value that is missing or malformed
// means its default, never a failure.
#pragma once

#include <string>

#include "shell/saver_settings.h"

// Each value that is missing or out of range keeps its default.
SaverSettings LoadSaverSettings();
// Stores every value; false when the platform could not.
bool StoreSaverSettings(const SaverSettings& settings);

// The stored values' names; a monitor mode is stored as its number in kMonitorModes.
constexpr char kSpeedSetting[] = "Speed";
constexpr char kMonitorsSetting[] = "Monitors";
constexpr char kShowFrameRateSetting[] = "ShowFrameRate";

// A speed as the user typed it: a whole number of steps per second from kMinSaverSpeed to
// kMaxSaverSpeed, blanks around it allowed. False for anything else, which the dialog refuses
// rather than guess at.
bool ParseSaverSpeed(const std::string& text, uint32_t* speed);
