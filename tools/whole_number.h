// Whole-number arguments of the command-line tools, read strictly: digits only, no sign, no
// spaces, and no silent wrap-around of numbers too large for their range.
#pragma once

#include <string>

// Reads `text` as a decimal number from `min` to `max` (0 <= min <= max). Returns false, leaving
// `value` alone, for anything else: empty text, other characters, or a number out of range.
bool ParseWholeNumber(const char* text, long min, long max, long* value);

// "a whole number from 1 to 65536", for messages that say what a value should have been.
std::string DescribeWholeNumberRange(long min, long max);
