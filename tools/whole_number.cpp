#include "tools/whole_number.h"

#include <climits>

bool ParseWholeNumber(const char* text, long min, long max, long* value) {
    if (text == nullptr || *text == '\0') {
        return false;
    }
    long parsed = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return false;
        }
        const int digit = *c - '0';
        // Checked before multiplying, so that no number, however long, can wrap around.
        if (parsed > (LONG_MAX - digit) / 10) {
            return false;
        }
        parsed = parsed * 10 + digit;
    }
    if (parsed < min || parsed > max) {
        return false;
    }
    *value = parsed;
    return true;
}

std::string DescribeWholeNumberRange(long min, long max) {
    return "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
}
