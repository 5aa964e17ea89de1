// The frame rate on the screen (--fps, xscreensaver's "Show frame rate"): one line in the
// top-left corner of a view, "F frames/s  S steps/s", in a small bitmap font of the program's own,
// drawn with OpenGL 1.1 as squares so that it grows with the screen, and set smaller or shorter
// where the view is too small for it (a preview in a settings dialog). It leaves every piece of
// OpenGL state as it found it, so the city's next frame is drawn exactly as without it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The overlay's text for these rates; before the first interval is complete, dashes.
std::string RateOverlayText(bool known, double framesPerSecond, double stepsPerSecond);

// How the text is set in a view: its lines, the screen pixels of one font pixel, and the
// far corner of its dark backing, in pixels from the view's top-left corner.
struct RateOverlayLayout {
    std::vector<std::string> lines;
    int32_t scale = 1;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Sets `text`, RateOverlayText's or any other line, for a view of width x height. As it is, a
// font pixel is two screen pixels on a 720-line view and more on taller ones; where that is not
// whole in the view, the largest form that is: a smaller scale, down to one pixel, before a
// shorter form, which is the two rates on lines of their own, then with short units ("60.0
// fps", "60.0 st/s"), then in whole numbers. A view too small for all of them gets the last.
RateOverlayLayout LayOutRateOverlay(const std::string& text, int32_t width, int32_t height);

// Draws `text` in the top-left corner of the view at (x, y) from the window's bottom-left,
// width x height. Characters the font lacks are drawn as blanks.
void DrawRateOverlay(const std::string& text, int32_t x, int32_t y, int32_t width, int32_t height);
// The same, in the current viewport: the view the scene has just drawn.
void DrawRateOverlayInViewport(const std::string& text);

// The font's cell, in font pixels, and whether a pixel of a character is lit (row 0 at the top).
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
bool GlyphPixel(char c, int column, int row);
