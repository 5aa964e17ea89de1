#include "common/whole_number.h"

bool ParseWholeNumber(const std::string& text, uint64_t min, uint64_t max, uint64_t* value) {
    if (text.empty()) {
        return false;
    }
    uint64_t parsed = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        // Checked before multiplying, so that no number, however long, can wrap around.
        if (digit > max || parsed > (max - digit) / 10) {
            return false;
        }
        parsed = parsed * 10 + digit;
    }
    if (parsed < min) {
        return false;
    }
    *value = parsed;
    return true;
}

bool ParseWholeNumber(const char* text, long min, long max, long* value) {
    uint64_t parsed = 0;
    if (text == nullptr || min < 0 || max < min ||
        !ParseWholeNumber(std::string(text), static_cast<uint64_t>(min), static_cast<uint64_t>(max),
                          &parsed)) {
        return false;
    }
    *value = static_cast<long>(parsed);
    return true;
}

std::string DescribeWholeNumberRange(uint64_t min, uint64_t max) {
    return "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}
