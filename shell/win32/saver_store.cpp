#include "shell/win32/saver_store.h"

#include "common/whole_number.h"
#include "shell/win32/platform.h"

uint32_t StoredMonitorMode(MonitorMode mode) {
    switch (mode) {
    case MonitorMode::kSpan:
        return 1;
    case MonitorMode::kPrimary:
        return 2;
    case MonitorMode::kEach:
    default:
        return 0;
    }
}

bool ParseSaverSpeed(const std::string& text, uint32_t* speed) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return false;
    }
    const size_t last = text.find_last_not_of(" \t");
    uint64_t value = 0;
    if (!ParseWholeNumber(text.substr(first, last - first + 1), kMinSaverSpeed, kMaxSaverSpeed,
                          &value)) {
        return false;
    }
    *speed = static_cast<uint32_t>(value);
    return true;
}

SaverSettings LoadSaverSettings() {
    SaverSettings settings;
    uint32_t value = 0;
    if (PlatformReadSetting(kSpeedSetting, &value) == TRUE && value >= kMinSaverSpeed &&
        value <= kMaxSaverSpeed) {
        settings.stepsPerSecond = value;
    }
    if (PlatformReadSetting(kMonitorsSetting, &value) == TRUE && value <= 2) {
        settings.monitors = value == 1   ? MonitorMode::kSpan
                            : value == 2 ? MonitorMode::kPrimary
                                         : MonitorMode::kEach;
    }
    if (PlatformReadSetting(kShowFrameRateSetting, &value) == TRUE && value <= 1) {
        settings.showRates = value == 1;
    }
    return settings;
}

bool StoreSaverSettings(const SaverSettings& settings) {
    return PlatformWriteSetting(kSpeedSetting, settings.stepsPerSecond) == TRUE &&
           PlatformWriteSetting(kMonitorsSetting, StoredMonitorMode(settings.monitors)) == TRUE &&
           PlatformWriteSetting(kShowFrameRateSetting, settings.showRates ? 1 : 0) == TRUE;
}
