// The decisions every host shares: where a surface of each kind lies on the outputs, and whether
// another program's window can host a child and what changed in it since.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/host_window.h"
#include "shell/surface_area.h"

namespace {

bool operator==(const HostRect& a, const HostRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(SurfaceArea, EachKindOnTheOutputs) {
    // The primary output second, the other one left of and above it.
    const std::vector<Output> two{Output{7, HostRect{-1280, -200, 1280, 720}, false, 60, 1.0f},
                                  Output{3, HostRect{0, 0, 1920, 1080}, true, 60, 1.0f}};
    const std::vector<Output> unmarked{Output{5, HostRect{100, 0, 800, 600}, false, 0, 1.0f}};
    struct Case {
        const char* what;
        SurfaceKind kind;
        uint32_t output;
        const std::vector<Output>* outputs;
        bool placed;
        HostRect area;
    } cases[] = {
        {"window", SurfaceKind::kWindow, 0, &two, true, {0, 0, 640, 480}},
        {"switched", SurfaceKind::kFullScreen, 0, &two, true, {0, 0, 640, 480}},
        {"desktop", SurfaceKind::kDesktop, 0, &two, true, {0, 0, 1920, 1080}},
        {"desktop, no primary", SurfaceKind::kDesktop, 0, &unmarked, true, {100, 0, 800, 600}},
        {"span", SurfaceKind::kSpan, 0, &two, true, {-1280, -200, 3200, 1280}},
        {"an output", SurfaceKind::kOutput, 7, &two, true, {-1280, -200, 1280, 720}},
        {"an output gone", SurfaceKind::kOutput, 9, &two, false, {}},
        {"span, no outputs", SurfaceKind::kSpan, 0, nullptr, false, {}},
        {"desktop, no outputs", SurfaceKind::kDesktop, 0, nullptr, false, {}},
    };
    const std::vector<Output> none;
    for (const Case& c : cases) {
        SurfaceRequest request;
        request.kind = c.kind;
        request.output = c.output;
        request.width = 640;
        request.height = 480;
        HostRect area;
        EXPECT_EQ(SurfaceArea(request, c.outputs != nullptr ? *c.outputs : none, &area), c.placed)
            << c.what;
        if (c.placed) {
            EXPECT_TRUE(area == c.area) << c.what << ": " << area.x << "," << area.y << " "
                                        << area.width << "x" << area.height;
        }
    }
}

// A little window tree: 1 the desktop, 2 an ordinary window on it, 3 inside 2, 4 a message-only
// window whose chain ends without reaching the desktop, 5 a window in a loop of parents.
TEST(HostWindow, JudgedFromTheFactsWithItsReason) {
    const std::map<uintptr_t, uintptr_t> parents{{2, 1}, {3, 2}, {4, 0}, {5, 6}, {6, 5}};
    auto facts = [&](uintptr_t window, bool exists, int32_t width) {
        HostWindowFacts f;
        f.window = window;
        f.desktop = 1;
        f.exists = exists;
        f.width = width;
        f.height = 100;
        f.parentOf = [&parents](uintptr_t child) {
            const auto found = parents.find(child);
            return found != parents.end() ? found->second : 0;
        };
        return f;
    };
    struct Case {
        HostWindowFacts facts;
        bool preview;
        bool usable;
        const char* why;
    } cases[] = {
        {facts(2, true, 150), true, true, ""},
        {facts(3, true, 150), true, true, ""},
        {facts(9, false, 0), false, false, "there is no such window to draw in"},
        {facts(1, true, 1920), true, false, "the desktop is no preview window"},
        {facts(1, true, 1920), false, true, ""}, // xscreensaver's root window
        {facts(4, true, 150), true, false, "the window is not on the desktop"},
        {facts(5, true, 150), true, false, "the window is not on the desktop"},
        {facts(4, true, 150), false, true, ""}, // a saver host's window may be anywhere
        {facts(2, true, 0), true, false, ""},   // no area yet: nothing to name
    };
    for (const Case& c : cases) {
        std::string why = "stale";
        EXPECT_EQ(JudgeHostWindow(c.facts, c.preview, &why), c.usable) << c.facts.window;
        EXPECT_EQ(why, c.why) << c.facts.window;
    }
}

TEST(HostWindow, WhatChangedSinceTheChildFollowed) {
    struct Case {
        const char* what;
        bool exists, shown;
        int32_t width, height;
        bool gone, resized, shownChanged;
    } cases[] = {
        {"same", true, true, 320, 200, false, false, false},
        {"larger", true, true, 640, 400, false, true, false},
        {"no area", true, true, 0, 0, false, false, false},
        {"hidden", true, false, 320, 200, false, false, true},
        {"hidden and larger", true, false, 640, 200, false, true, true},
        {"gone", false, false, 0, 0, true, false, false},
    };
    for (const Case& c : cases) {
        HostWindowFacts now;
        now.exists = c.exists;
        now.shown = c.shown;
        now.width = c.width;
        now.height = c.height;
        const HostWindowChange change = CompareHostWindow(now, 320, 200, true);
        EXPECT_EQ(change.gone, c.gone) << c.what;
        EXPECT_EQ(change.resized, c.resized) << c.what;
        EXPECT_EQ(change.shownChanged, c.shownChanged) << c.what;
    }
}

} // namespace
