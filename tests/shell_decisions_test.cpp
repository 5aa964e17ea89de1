// The decisions every host shares: where a surface of each kind lies on the outputs, and whether
// another program's window can host a child and what changed in it since.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/host_window.h"
#include "shell/surface_area.h"

namespace {

std::string Area(SurfaceKind kind, uint32_t output, const std::vector<Output>& outputs) {
    SurfaceRequest request;
    request.kind = kind;
    request.output = output;
    request.width = 640;
    request.height = 480;
    HostRect a;
    if (!SurfaceArea(request, outputs, &a)) {
        return "none";
    }
    return std::to_string(a.x) + "," + std::to_string(a.y) + " " + std::to_string(a.width) + "x" +
           std::to_string(a.height);
}

TEST(SurfaceArea, EachKindOnTheOutputs) {
    // The primary output second, the other one left of and above it.
    const std::vector<Output> two{Output{7, HostRect{-1280, -200, 1280, 720}, false, 60, 1.0f},
                                  Output{3, HostRect{0, 0, 1920, 1080}, true, 60, 1.0f}};
    const std::vector<Output> unmarked{Output{5, HostRect{100, 0, 800, 600}, false, 0, 1.0f}};
    EXPECT_EQ(Area(SurfaceKind::kWindow, 0, two), "0,0 640x480");
    EXPECT_EQ(Area(SurfaceKind::kFullScreen, 0, two), "0,0 640x480");
    EXPECT_EQ(Area(SurfaceKind::kDesktop, 0, two), "0,0 1920x1080");
    EXPECT_EQ(Area(SurfaceKind::kDesktop, 0, unmarked), "100,0 800x600") << "the first stands in";
    EXPECT_EQ(Area(SurfaceKind::kSpan, 0, two), "-1280,-200 3200x1280");
    EXPECT_EQ(Area(SurfaceKind::kOutput, 7, two), "-1280,-200 1280x720");
    EXPECT_EQ(Area(SurfaceKind::kOutput, 9, two), "none") << "an output gone";
    for (SurfaceKind kind : {SurfaceKind::kSpan, SurfaceKind::kDesktop}) {
        EXPECT_EQ(Area(kind, 0, {}), "none") << "no outputs";
    }
}

// A little window tree: 1 the desktop, 2 an ordinary window on it, 3 inside 2, 4 a message-only
// window whose chain ends without reaching the desktop, 5 a window in a loop of parents.
TEST(HostWindow, JudgedFromTheFactsWithItsReason) {
    const std::map<uintptr_t, uintptr_t> parents{{2, 1}, {3, 2}, {4, 0}, {5, 6}, {6, 5}};
    const char* const none = "there is no such window to draw in";
    const char* const desktop = "the desktop is no preview window";
    const char* const off = "the window is not on the desktop";
    struct Case {
        uintptr_t window;
        bool exists;
        int32_t width;
        bool preview, usable;
        const char* why;
    } cases[] = {
        {2, true, 150, true, true, ""},    {3, true, 150, true, true, ""},
        {9, false, 0, false, false, none}, {1, true, 1920, true, false, desktop},
        {1, true, 1920, false, true, ""},  {4, true, 150, true, false, off},
        {5, true, 150, true, false, off},  {4, true, 150, false, true, ""},
        {2, true, 0, true, false, ""}, // no area yet: nothing to name
    };
    for (const Case& c : cases) {
        HostWindowFacts facts;
        facts.window = c.window;
        facts.desktop = 1;
        facts.exists = c.exists;
        facts.width = c.width;
        facts.height = 100;
        facts.parentOf = [&parents](uintptr_t child) {
            const auto found = parents.find(child);
            return found != parents.end() ? found->second : 0;
        };
        std::string why = "stale";
        EXPECT_EQ(JudgeHostWindow(facts, c.preview, &why), c.usable) << c.window;
        EXPECT_EQ(why, c.why) << c.window;
    }
}

TEST(HostWindow, WhatChangedSinceTheChildFollowed) {
    // Followed last at 320x200, shown. "gone", "resized", "shown changed", as letters.
    const struct {
        bool exists, shown;
        int32_t width, height;
        const char* change;
    } cases[] = {{true, true, 320, 200, ""},    {true, true, 640, 400, "r"},
                 {true, true, 0, 0, ""},        {true, false, 320, 200, "s"},
                 {true, false, 640, 200, "rs"}, {false, false, 0, 0, "g"}};
    for (const auto& c : cases) {
        HostWindowFacts now;
        now.exists = c.exists;
        now.shown = c.shown;
        now.width = c.width;
        now.height = c.height;
        const HostWindowChange change = CompareHostWindow(now, 320, 200, true);
        const std::string seen = std::string(change.gone ? "g" : "") + (change.resized ? "r" : "") +
                                 (change.shownChanged ? "s" : "");
        EXPECT_EQ(seen, c.change) << c.width << "x" << c.height << (c.shown ? " shown" : "");
    }
}

} // namespace
