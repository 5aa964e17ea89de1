#include "shell/saver_settings.h"

#include "common/whole_number.h"

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
