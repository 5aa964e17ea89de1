#include "shell/win32/saver_store.h"

#include "shell/win32/platform.h"

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
