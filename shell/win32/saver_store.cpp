#include "shell/win32/saver_store.h"

#include "common/whole_number.h"
#include "shell/win32/platform.h"

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
    if (PlatformReadSetting(kMonitorsSetting, &value) == TRUE) {
        for (const MonitorModeEntry& entry : kMonitorModes) {
            settings.monitors = entry.stored == value ? entry.mode : settings.monitors;
        }
    }
    if (PlatformReadSetting(kShowFrameRateSetting, &value) == TRUE && value <= 1) {
        settings.showRates = value == 1;
    }
    return settings;
}

bool StoreSaverSettings(const SaverSettings& settings) {
    return PlatformWriteSetting(kSpeedSetting, settings.stepsPerSecond) == TRUE &&
           PlatformWriteSetting(kMonitorsSetting, MonitorModeEntryOf(settings.monitors).stored) ==
               TRUE &&
           PlatformWriteSetting(kShowFrameRateSetting, settings.showRates ? 1 : 0) == TRUE;
}
