// What the Linux host makes for each request: the mode switch, the box of a refused one, and the
// window's place, from the outputs and the modes the system offers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/linux/window_choice.h"

namespace {

// "kind x,y wxh", with " switch" and " box" where the choice has them; "none" when nothing can be
// made.
std::string Describe(const SurfaceRequest& request, const std::vector<Output>& outputs,
                     const std::vector<DisplayModeSize>& modes) {
    static const char* const kinds[] = {"window", "full", "desktop", "span", "output", "child"};
    WindowChoice c;
    if (!ChooseWindow(request, outputs, modes, &c)) {
        return "none";
    }
    return std::string(kinds[static_cast<int>(c.kind)]) + " " + std::to_string(c.area.x) + "," +
           std::to_string(c.area.y) + " " + std::to_string(c.area.width) + "x" +
           std::to_string(c.area.height) + (c.switchMode ? " switch" : "") +
           (c.box != nullptr ? " box" : "");
}

TEST(WindowChoice, FromRequestOutputsAndModes) {
    const std::vector<Output> outputs{Output{1, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f},
                                      Output{2, HostRect{0, 0, 1920, 1080}, true, 60, 1.0f}};
    const std::vector<DisplayModeSize> modes{{1920, 1080}, {1280, 720}, {800, 600}};
    struct Case {
        SurfaceKind kind;
        int32_t width, height;
        uint32_t output;
        const char* made;
    } cases[] = {
        {SurfaceKind::kWindow, 640, 480, 0, "window 0,0 640x480"},
        {SurfaceKind::kFullScreen, 800, 600, 0, "full 0,0 800x600 switch"},
        // Another output's mode is no reason to keep the desktop's: only the primary one's is.
        {SurfaceKind::kFullScreen, 1280, 720, 0, "full 0,0 1280x720 switch"},
        {SurfaceKind::kFullScreen, 1920, 1080, 0, "desktop 0,0 1920x1080"},
        {SurfaceKind::kFullScreen, 1024, 768, 0, "window 0,0 1024x768 box"},
        {SurfaceKind::kDesktop, 1280, 720, 0, "desktop 0,0 1920x1080"},
        {SurfaceKind::kSpan, 0, 0, 0, "span 0,0 3200x1080"},
        {SurfaceKind::kOutput, 0, 0, 1, "output 1920,0 1280x720"},
        {SurfaceKind::kOutput, 0, 0, 3, "none"},
    };
    for (const Case& c : cases) {
        SurfaceRequest request;
        request.kind = c.kind;
        request.width = c.width;
        request.height = c.height;
        request.output = c.output;
        EXPECT_EQ(Describe(request, outputs, modes), c.made);
    }
}

} // namespace
