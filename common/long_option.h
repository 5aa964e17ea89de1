// A long option may carry its value after an equals sign: "--frames=600" is "--frames 600", in
// the program and in the tools alike.
#pragma once

#include <string>

struct LongOption {
    std::string name; // the argument itself, or what stands before the '=' of a long option
    bool hasInlineValue = false;
    std::string inlineValue; // what follows the '=', when there is one
};

LongOption SplitLongOption(const std::string& argument);
