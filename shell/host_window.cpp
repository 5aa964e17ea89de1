#include "shell/host_window.h"

namespace {

// Windows nest only so deep; the bound keeps a window system that loops from hanging here.
constexpr int kMaxDepth = 256;

bool ReachesDesktop(const HostWindowFacts& facts) {
    uintptr_t ancestor = facts.window;
    for (int depth = 0; depth < kMaxDepth && ancestor != 0 && facts.parentOf; ++depth) {
        ancestor = facts.parentOf(ancestor);
        if (ancestor == facts.desktop) {
            return true;
        }
    }
    return false;
}

} // namespace

bool JudgeHostWindow(const HostWindowFacts& facts, bool mustBeOrdinary, std::string* why) {
    why->clear();
    if (!facts.exists) {
        *why = "there is no such window to draw in";
        return false;
    }
    if (mustBeOrdinary) {
        if (facts.window == facts.desktop) {
            *why = "the desktop is no preview window";
            return false;
        }
        if (!ReachesDesktop(facts)) {
            *why = "the window is not on the desktop";
            return false;
        }
    }
    return facts.width > 0 && facts.height > 0;
}

HostWindowChange CompareHostWindow(const HostWindowFacts& now, int32_t width, int32_t height,
                                   bool shown) {
    HostWindowChange change;
    change.gone = !now.exists;
    if (change.gone) {
        return change;
    }
    change.resized =
        now.width > 0 && now.height > 0 && (now.width != width || now.height != height);
    change.shownChanged = now.shown != shown;
    return change;
}
