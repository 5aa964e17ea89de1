// The screen saver's settings: how fast the city goes, how it uses several monitors, and whether
// the frame rate is shown. Windows keeps them for each user (the settings dialog stores them,
// /s and /p read them).
#pragma once

#include <cstdint>

#include "shell/options.h"

constexpr uint32_t kDefaultSaverSpeed = 60; // steps per second
constexpr uint32_t kMinSaverSpeed = 10;
constexpr uint32_t kMaxSaverSpeed = 240;

struct SaverSettings {
    uint32_t stepsPerSecond = kDefaultSaverSpeed;
    MonitorMode monitors = kDefaultMonitorMode;
    bool showRates = false;
};
