#include "common/long_option.h"

LongOption SplitLongOption(const std::string& argument) {
    LongOption option;
    option.name = argument;
    const size_t equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
        option.name = argument.substr(0, equals);
        option.inlineValue = argument.substr(equals + 1);
        option.hasInlineValue = true;
    }
    return option;
}
