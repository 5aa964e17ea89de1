// What the Linux host makes for each request: the mode switch, the box of a refused one, and the
// window's place, from the outputs and the modes the system offers.
#include <gtest/gtest.h>

#include <vector>

#include "shell/linux/window_choice.h"

namespace {

TEST(WindowChoice, FromRequestOutputsAndModes) {
    const std::vector<Output> outputs{Output{1, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f},
                                      Output{2, HostRect{0, 0, 1920, 1080}, true, 60, 1.0f}};
    const std::vector<DisplayModeSize> modes{{1920, 1080}, {1280, 720}, {800, 600}};
    struct Case {
        const char* what;
        SurfaceKind kind;
        int32_t width, height;
        uint32_t output;
        bool made;
        SurfaceKind madeKind;
        bool switchMode;
        bool box;
        HostRect area;
    } cases[] = {
        {"window",
         SurfaceKind::kWindow,
         640,
         480,
         0,
         true,
         SurfaceKind::kWindow,
         false,
         false,
         {0, 0, 640, 480}},
        {"a mode offered",
         SurfaceKind::kFullScreen,
         800,
         600,
         0,
         true,
         SurfaceKind::kFullScreen,
         true,
         false,
         {0, 0, 800, 600}},
        // The mode of another output is no reason to switch: only the primary one's is.
        {"the other output's mode",
         SurfaceKind::kFullScreen,
         1280,
         720,
         0,
         true,
         SurfaceKind::kFullScreen,
         true,
         false,
         {0, 0, 1280, 720}},
        {"the primary's own mode",
         SurfaceKind::kFullScreen,
         1920,
         1080,
         0,
         true,
         SurfaceKind::kDesktop,
         false,
         false,
         {0, 0, 1920, 1080}},
        {"a mode refused",
         SurfaceKind::kFullScreen,
         1024,
         768,
         0,
         true,
         SurfaceKind::kWindow,
         false,
         true,
         {0, 0, 1024, 768}},
        {"desktop",
         SurfaceKind::kDesktop,
         1280,
         720,
         0,
         true,
         SurfaceKind::kDesktop,
         false,
         false,
         {0, 0, 1920, 1080}},
        {"span",
         SurfaceKind::kSpan,
         0,
         0,
         0,
         true,
         SurfaceKind::kSpan,
         false,
         false,
         {0, 0, 3200, 1080}},
        {"an output",
         SurfaceKind::kOutput,
         0,
         0,
         1,
         true,
         SurfaceKind::kOutput,
         false,
         false,
         {1920, 0, 1280, 720}},
        {"an output gone",
         SurfaceKind::kOutput,
         0,
         0,
         3,
         false,
         SurfaceKind::kOutput,
         false,
         false,
         {}},
    };
    for (const Case& c : cases) {
        SurfaceRequest request;
        request.kind = c.kind;
        request.width = c.width;
        request.height = c.height;
        request.output = c.output;
        WindowChoice choice;
        ASSERT_EQ(ChooseWindow(request, outputs, modes, &choice), c.made) << c.what;
        if (!c.made) {
            continue;
        }
        EXPECT_EQ(choice.kind, c.madeKind) << c.what;
        EXPECT_EQ(choice.switchMode, c.switchMode) << c.what;
        EXPECT_EQ(choice.box != nullptr, c.box) << c.what;
        EXPECT_EQ(choice.area.x, c.area.x) << c.what;
        EXPECT_EQ(choice.area.y, c.area.y) << c.what;
        EXPECT_EQ(choice.area.width, c.area.width) << c.what;
        EXPECT_EQ(choice.area.height, c.area.height) << c.what;
    }
}

} // namespace
