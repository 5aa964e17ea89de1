#include "shell/web/page_query.h"

#include "common/whole_number.h"

namespace {

constexpr uint64_t kMaxStop = 0x7FFFFFFF;
constexpr uint32_t kDefaultPace = 60;

#ifdef ZORVIK_PAGE_TESTS
bool ReadFault(const std::string& value, PageQuery* page) {
    if (value == "glow") {
        page->fault = PageFault::kGlow;
    } else if (value == "traffic") {
        page->fault = PageFault::kTraffic;
    } else if (value.size() == 6 && value.compare(0, 5, "light") == 0 && value[5] >= '0' &&
               value[5] <= '3') {
        page->fault = PageFault::kLight;
        page->faultLight = value[5] - '0';
    } else {
        return false;
    }
    return true;
}
#endif

bool IsDesktop(const std::string& value) {
    std::string lower = value;
    for (char& c : lower) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return lower == "desktop";
}

} // namespace

bool ParsePageQuery(const std::string& query, PageQuery* page, std::string* error) {
    *page = PageQuery{};
    // The page is a window of the browser; F1 takes it to full screen.
    page->arguments.push_back("--window");
    bool paceGiven = false;
    size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
    while (start < query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) {
            end = query.size();
        }
        const std::string item = query.substr(start, end - start);
        start = end + 1;
        if (item.empty()) {
            continue;
        }
        const size_t equals = item.find('=');
        const std::string name = item.substr(0, equals);
        const bool hasValue = equals != std::string::npos;
        const std::string value = hasValue ? item.substr(equals + 1) : "";
        if (name == "size" && IsDesktop(value)) {
            // The program's desktop size is a full screen at the desktop's own resolution; a
            // page has neither, and its own size is what it draws at without this parameter.
            *error = "size=" + value +
                     " has no meaning in a browser: leave size out for the window's own size, or "
                     "give WxH for a fixed one";
            return false;
        }
        if (name == "seed" || name == "size") {
            page->arguments.push_back("--" + name + "=" + value);
            page->fixedSize = page->fixedSize || name == "size";
        } else if (name == "pace") {
            paceGiven = true;
            // 0 is the page's way of saying one step per frame: the program then has no pace.
            if (value != "0") {
                page->arguments.push_back("--pace=" + value);
            }
        } else if (name == "maxfps") {
            // 0, a wallpaper program's "no cap", leaves the frames to the browser's pace.
            if (value != "0") {
                page->arguments.push_back("--max-fps=" + value);
            }
        } else if (name == "fps" || name == "stats" || name == "awake") {
            if (hasValue && value != "1" && value != "0") {
                *error = name + " takes 1 or 0, not '" + value + "'";
                return false;
            }
            // awake is the page's own (the display kept on), not the program's.
            if (value != "0" && name != "awake") {
                page->arguments.push_back("--" + name);
            }
        } else if (name == "stop") {
            uint64_t stop = 0;
            if (!ParseWholeNumber(value, 1, kMaxStop, &stop)) {
                *error =
                    "stop needs " + DescribeWholeNumberRange(1, kMaxStop) + ", not '" + value + "'";
                return false;
            }
            page->stop = static_cast<uint32_t>(stop);
#ifdef ZORVIK_PAGE_TESTS
        } else if (name == "fault") {
            if (!ReadFault(value, page)) {
                *error = "fault takes light0 to light3, glow or traffic, not '" + value + "'";
                return false;
            }
#endif
        } else {
            *error = "the page has no parameter '" + name + "'";
            return false;
        }
    }
    if (page->stop != 0) {
        // A stopped frame is zorvik-capture's frame, whatever the pace.
        for (auto it = page->arguments.begin(); it != page->arguments.end();) {
            it = it->compare(0, 7, "--pace=") == 0 ? page->arguments.erase(it) : it + 1;
        }
    } else if (!paceGiven) {
        page->arguments.push_back("--pace=" + std::to_string(kDefaultPace));
    }
    return true;
}
