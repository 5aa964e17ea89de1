// The frame rate on the screen (--fps, xscreensaver's "Show frame rate"): one line in the
// top-left corner of a view, "F frames/s  S steps/s", in a small bitmap font of the program's own,
// drawn with OpenGL 1.1 as squares so that it grows with the screen. It leaves every piece of
// OpenGL state as it found it, so the city's next frame is drawn exactly as without it.
#pragma once

#include <cstdint>
#include <string>

// The overlay's text for these rates; before the first interval is complete, dashes.
std::string RateOverlayText(bool known, double framesPerSecond, double stepsPerSecond);

// Draws `text` in the top-left corner of the view at (x, y) from the window's bottom-left,
// width x height. Characters the font lacks are drawn as blanks.
void DrawRateOverlay(const std::string& text, int32_t x, int32_t y, int32_t width, int32_t height);
// The same, in the current viewport: the view the scene has just drawn.
void DrawRateOverlayInViewport(const std::string& text);

// The font's cell, in font pixels, and whether a pixel of a character is lit (row 0 at the top).
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
bool GlyphPixel(char c, int column, int row);
