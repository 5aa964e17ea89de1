// Whole numbers on command lines, read strictly: digits only, no sign, no spaces, no trailing
// text, and no silent wrap-around of numbers too large for their range. Shared by the program's
// options and the tools' arguments, so that both refuse the same things.
#pragma once

#include <cstdint>
#include <string>

// Reads `text` as a decimal number from `min` to `max` (min <= max). Returns false, leaving
// `value` alone, for anything else: empty text, other characters, or a number out of range.
bool ParseWholeNumber(const std::string& text, uint64_t min, uint64_t max, uint64_t* value);

// The same for the tools' counts, which are `long` (0 <= min <= max).
bool ParseWholeNumber(const char* text, long min, long max, long* value);

// "a whole number from 1 to 65536", for messages that say what a value should have been.
std::string DescribeWholeNumberRange(uint64_t min, uint64_t max);
