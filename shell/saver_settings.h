// The screen saver's settings: how fast the city goes, how it uses several monitors, and whether
// the frame rate is shown. Windows keeps them for each user (the settings dialog stores them,
// /s and /p read them).
#pragma once

#include <cstdint>
#include <string>

#include "shell/options.h"

constexpr uint32_t kDefaultSaverSpeed = 60; // steps per second
constexpr uint32_t kMinSaverSpeed = 10;
constexpr uint32_t kMaxSaverSpeed = 240;

struct SaverSettings {
    uint32_t stepsPerSecond = kDefaultSaverSpeed;
    MonitorMode monitors = MonitorMode::kEach;
    bool showRates = false;
};

// The stored values' names, and how a monitor mode is stored.
constexpr char kSpeedSetting[] = "Speed";
constexpr char kMonitorsSetting[] = "Monitors";
constexpr char kShowFrameRateSetting[] = "ShowFrameRate";
uint32_t StoredMonitorMode(MonitorMode mode);

// A speed as the user typed it: a whole number of steps per second from kMinSaverSpeed to
// kMaxSaverSpeed, blanks around it allowed. False for anything else, which the dialog refuses
// rather than guess at.
bool ParseSaverSpeed(const std::string& text, uint32_t* speed);
