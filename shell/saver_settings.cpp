#include "shell/saver_settings.h"

#include "shell/platform.h"

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
