// The screen saver's settings as Windows keeps them for each user: DWORD values under
// HKEY_CURRENT_USER\Software\zorvik, through the platform. A value that is missing or malformed
// means its default, never a failure.
#pragma once

#include "shell/saver_settings.h"

// Each value that is missing or out of range keeps its default.
SaverSettings LoadSaverSettings();
// Stores every value; false when the platform could not.
bool StoreSaverSettings(const SaverSettings& settings);
