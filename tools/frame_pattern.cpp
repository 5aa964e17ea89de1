#include "tools/frame_pattern.h"

#include <climits>

#include "common/whole_number.h"

namespace {

// No file system takes a name longer than this, so no wider field can name a frame.
constexpr long kMaxFieldWidth = 255;

struct Conversion {
    size_t begin = 0; // the '%'
    size_t end = 0;   // one past the 'd'
    bool zeroPadded = false;
    long width = 0; // saturates above kMaxFieldWidth
};

// Finds the one conversion of a frame pattern. Returns false if there is none, more than one,
// or a '%' that starts neither a conversion nor "%%".
bool FindConversion(const std::string& path, Conversion* conversion) {
    int conversions = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '%') {
            continue;
        }
        if (i + 1 < path.size() && path[i + 1] == '%') {
            ++i;
            continue;
        }
        Conversion found;
        found.begin = i;
        size_t j = i + 1;
        found.zeroPadded = j < path.size() && path[j] == '0';
        for (; j < path.size() && path[j] >= '0' && path[j] <= '9'; ++j) {
            if (found.width <= kMaxFieldWidth) {
                found.width = found.width * 10 + (path[j] - '0');
            }
        }
        if (j >= path.size() || path[j] != 'd') {
            return false;
        }
        found.end = j + 1;
        *conversion = found;
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

// The frame's number as the conversion writes it: padded to the field's width, never cut.
std::string FrameField(const Conversion& conversion, long frame) {
    std::string number = std::to_string(frame);
    const size_t width = static_cast<size_t>(std::min(conversion.width, kMaxFieldWidth + 1));
    if (number.size() < width) {
        number.insert(0, width - number.size(), conversion.zeroPadded ? '0' : ' ');
    }
    return number;
}

} // namespace

bool IsFramePattern(const std::string& path) {
    Conversion conversion;
    return FindConversion(path, &conversion);
}

bool CheckFramePattern(const std::string& pattern, std::string* error) {
    Conversion conversion;
    if (!FindConversion(pattern, &conversion)) {
        *error = "'" + pattern + "' is not a pattern with one frame number such as shots/%06d.png";
        return false;
    }
    if (conversion.width > kMaxFieldWidth) {
        *error = "the frame number's field in '" + pattern + "' is wider than " +
                 std::to_string(kMaxFieldWidth) + " characters, longer than any file name";
        return false;
    }
    // Every folder after the number's own must lead further down: "d%d/../x.png" would name one
    // file for every frame.
    const std::string tail = pattern.substr(conversion.end);
    size_t start = tail.find('/');
    while (start != std::string::npos) {
        const size_t next = tail.find('/', start + 1);
        const std::string component = tail.substr(
            start + 1, next == std::string::npos ? std::string::npos : next - start - 1);
        if (component == "..") {
            *error = "'" + pattern +
                     "' leaves the frame number's folder again with '..', so frames would share "
                     "a name";
            return false;
        }
        start = next;
    }
    return true;
}

std::string ExpandFramePattern(const std::string& pattern, long frame) {
    Conversion conversion;
    if (!FindConversion(pattern, &conversion)) {
        return pattern;
    }
    return Unescape(pattern.substr(0, conversion.begin)) + FrameField(conversion, frame) +
           Unescape(pattern.substr(conversion.end));
}

bool FramePatternNumbersFolders(const std::string& pattern) {
    Conversion conversion;
    return FindConversion(pattern, &conversion) &&
           pattern.find('/', conversion.end) != std::string::npos;
}

namespace {

// The numbered component of a pattern: where it starts and ends in the pattern's text.
void ComponentBounds(const std::string& pattern, const Conversion& conversion, size_t* begin,
                     size_t* end) {
    const size_t slash = pattern.rfind('/', conversion.begin);
    *begin = slash == std::string::npos ? 0 : slash + 1;
    *end = std::min(pattern.find('/', conversion.end), pattern.size());
}

} // namespace

std::string FramePatternFolder(const std::string& pattern) {
    Conversion conversion;
    if (!FindConversion(pattern, &conversion)) {
        return ".";
    }
    size_t begin = 0, end = 0;
    ComponentBounds(pattern, conversion, &begin, &end);
    if (begin == 0) {
        return ".";
    }
    return begin == 1 ? "/" : Unescape(pattern.substr(0, begin - 1));
}

long FrameOfEntry(const std::string& pattern, const std::string& entry) {
    Conversion conversion;
    if (!FindConversion(pattern, &conversion)) {
        return -1;
    }
    size_t begin = 0, end = 0;
    ComponentBounds(pattern, conversion, &begin, &end);
    const std::string before = Unescape(pattern.substr(begin, conversion.begin - begin));
    const std::string after = Unescape(pattern.substr(conversion.end, end - conversion.end));
    if (entry.size() <= before.size() + after.size() ||
        entry.compare(0, before.size(), before) != 0 ||
        entry.compare(entry.size() - after.size(), after.size(), after) != 0) {
        return -1;
    }
    const std::string field =
        entry.substr(before.size(), entry.size() - before.size() - after.size());
    const size_t digits = field.find_first_not_of(conversion.zeroPadded ? "0" : " ");
    long frame = 0;
    if (!ParseWholeNumber(digits == std::string::npos ? "0" : field.c_str() + digits, 0, LONG_MAX,
                          &frame)) {
        return -1;
    }
    // Only the field exactly as the frame's name spells it: no other padding, no extra zeros.
    return field == FrameField(conversion, frame) ? frame : -1;
}
