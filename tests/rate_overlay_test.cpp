// The rate overlay's layout: whole in every view from a settings dialog's preview up.
#include <gtest/gtest.h>

#include "shell/rate_overlay.h"

TEST(RateOverlay, EveryViewFromPreviewSizeUpShowsWholeLines) {
    const std::string usual = RateOverlayText(true, 59.94, 60);
    const std::string widest = RateOverlayText(true, 499.94, 1000.04);
    const struct {
        int32_t width, height;
        std::string text;
        std::vector<std::string> lines;
        int32_t scale;
    } cases[] = {
        {3840, 2160, usual, {usual}, 6},
        {1280, 720, usual, {usual}, 2},
        {300, 720, usual, {usual}, 1},
        {152, 112, usual, {"59.9 frames/s", "60.0 steps/s"}, 1},
        {80, 60, usual, {"59.9 fps", "60.0 st/s"}, 1},
        {64, 48, widest, {"500 fps", "1000 st/s"}, 1},
        {64, 64, RateOverlayText(false, 0, 0), {"-- fps", "-- st/s"}, 1},
        {64, 64, "8", {"8"}, 1},
    };
    for (const auto& c : cases) {
        const RateOverlayLayout layout = LayOutRateOverlay(c.text, c.width, c.height);
        EXPECT_EQ(layout.lines, c.lines) << c.width << "x" << c.height;
        EXPECT_EQ(layout.scale, c.scale) << c.width << "x" << c.height;
    }
    // Every width from a 64-pixel view to 4K, at the preview's shape and a screen's.
    for (int32_t width = 64; width <= 3840; ++width) {
        for (const int32_t height : {width * 112 / 152, width * 9 / 16}) {
            const RateOverlayLayout layout = LayOutRateOverlay(widest, width, height);
            EXPECT_LE(layout.right, width) << width << "x" << height;
            EXPECT_LE(layout.bottom, height) << width << "x" << height;
        }
    }
}
