#include "tools/output_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// Finds the one conversion of a frame pattern: its start and one past its 'd'. Returns false if
// there is none, more than one, or a stray '%'.
bool FindConversion(const std::string& path, size_t* begin, size_t* end) {
    int conversions = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            continue;
        }
        if (i + 1 < path.size() && path[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < path.size() && path[j] >= '0' && path[j] <= '9') {
            ++j;
        }
        if (j >= path.size() || path[j] != 'd' || j - i > 4) {
            return false;
        }
        *begin = i;
        *end = j + 1;
        ++conversions;
        i = j;
    }
    return conversions == 1;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
        }
    }
    return out;
}

} // namespace

bool IsFramePattern(const std::string& path) {
    size_t begin = 0, end = 0;
    return FindConversion(path, &begin, &end);
}

std::string ExpandFramePattern(const std::string& pattern, long frame) {
    size_t begin = 0, end = 0;
    if (!FindConversion(pattern, &begin, &end)) {
        return pattern;
    }
    const std::string conversion = pattern.substr(begin, end - begin - 1) + "ld";
    char number[64];
    std::snprintf(number, sizeof number, conversion.c_str(), frame);
    return Unescape(pattern.substr(0, begin)) + number + Unescape(pattern.substr(end));
}

std::string TemporaryNameFor(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    return folder + "." + stem + ".partial-" + std::to_string(getpid()) + extension;
}

bool CheckWritable(const std::string& path, std::string* error) {
    if (path.empty() || path.back() == '/') {
        *error = "'" + path + "' is not a file name";
        return false;
    }
    const std::string probe = TemporaryNameFor(path);
    FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write '" + path + "': " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

bool CommitFile(const std::string& temporary, const std::string& path, std::string* error) {
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        *error = "cannot move the finished file to '" + path + "': " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
