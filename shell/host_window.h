// Another program's window that a child surface lives in (a saver preview's, xscreensaver's, or
// the desktop): whether it can take the city, and how the child follows it. Each host reports the
// facts from its own system; the judgement is made here, once.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// What a host sees of such a window at one moment.
struct HostWindowFacts {
    uintptr_t window = 0;
    uintptr_t desktop = 0; // the desktop's (root) window
    bool exists = false;
    int32_t width = 0; // its drawing area
    int32_t height = 0;
    bool shown = false;
    // The window's parent (0 at the top), asked only when it matters: a window whose parents
    // never reach the desktop is message-only or otherwise out of anyone's sight.
    std::function<uintptr_t(uintptr_t)> parentOf;
};

// Whether a child can be made in the window. False with the reason the user is told in `why`; an
// empty reason where the window merely has no area to draw in. A preview's host must be an
// ordinary window on the desktop: the desktop itself would give a surface over the whole screen
// that nothing ends, and a window off the desktop one that nobody ever sees.
bool JudgeHostWindow(const HostWindowFacts& facts, bool mustBeOrdinary, std::string* why);

// What changed since the child last followed its host window, whose size and visibility then
// were `width` x `height` and `shown`. A child takes a new size only when it has an area.
struct HostWindowChange {
    bool gone = false;
    bool resized = false;
    bool shownChanged = false;
};
HostWindowChange CompareHostWindow(const HostWindowFacts& now, int32_t width, int32_t height,
                                   bool shown);
