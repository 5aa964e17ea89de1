#include "shell/rate_overlay.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/gl.h"

namespace {

// Each glyph is seven rows of five bits, the leftmost column in the highest bit.
struct Glyph {
    char c;
    uint8_t rows[kGlyphHeight];
};

constexpr Glyph kFont[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'/', {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}},
    {'e', {0x00, 0x00, 0x0E, 0x11, 0x1F, 0x10, 0x0E}},
    {'f', {0x06, 0x09, 0x08, 0x1C, 0x08, 0x08, 0x08}},
    {'m', {0x00, 0x00, 0x1A, 0x15, 0x15, 0x11, 0x11}},
    {'p', {0x00, 0x00, 0x1E, 0x11, 0x1E, 0x10, 0x10}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
    {'t', {0x08, 0x08, 0x1C, 0x08, 0x08, 0x09, 0x06}},
};

const Glyph* Find(char c) {
    for (const Glyph& glyph : kFont) {
        if (glyph.c == c) {
            return &glyph;
        }
    }
    return nullptr;
}

// The text's distance from the view's edges, and the space between its lines, in font pixels.
constexpr int32_t kMargin = 4;
constexpr int32_t kLineGap = 2;

// The text's forms, largest first: as it is; and for the rates' text, "F frames/s  S steps/s",
// the rates on two lines, then with short units, then in whole numbers.
std::vector<std::vector<std::string>> FormsOf(const std::string& text) {
    std::vector<std::vector<std::string>> forms = {{text}};
    const size_t split = text.find("  ");
    if (split == std::string::npos) {
        return forms;
    }
    std::vector<std::string> lines = {text.substr(0, split), text.substr(split + 2)};
    forms.push_back(lines);
    const struct {
        const char* unit;
        const char* shortUnit;
    } kUnits[] = {{" frames/s", " fps"}, {" steps/s", " st/s"}};
    for (std::string& line : lines) {
        for (const auto& u : kUnits) {
            const size_t at = line.rfind(u.unit);
            if (at != std::string::npos && at + std::strlen(u.unit) == line.size()) {
                line.replace(at, std::string::npos, u.shortUnit);
            }
        }
    }
    forms.push_back(lines);
    for (std::string& line : lines) {
        // The number before the unit; dashes, before the first rates, stay as they are.
        const size_t space = line.find(' ');
        const std::string number = line.substr(0, space);
        char* end = nullptr;
        const double value = std::strtod(number.c_str(), &end);
        if (!number.empty() && *end == '\0') {
            char whole[32];
            std::snprintf(whole, sizeof whole, "%.0f", value);
            line.replace(0, space, whole);
        }
    }
    forms.push_back(lines);
    return forms;
}

RateOverlayLayout Measure(const std::vector<std::string>& lines, int32_t scale) {
    RateOverlayLayout layout;
    layout.lines = lines;
    layout.scale = scale;
    size_t longest = 0;
    for (const std::string& line : lines) {
        longest = std::max(longest, line.size());
    }
    const int32_t count = static_cast<int32_t>(lines.size());
    const int32_t margin = kMargin * scale;
    // The backing ends half a margin past the last character's cell, and below the last line.
    layout.right = margin + static_cast<int32_t>(longest) * (kGlyphWidth + 1) * scale + margin / 2;
    layout.bottom = margin + (count * kGlyphHeight + (count - 1) * kLineGap) * scale + margin / 2;
    return layout;
}

} // namespace

bool GlyphPixel(char c, int column, int row) {
    const Glyph* glyph = Find(c);
    if (glyph == nullptr || column < 0 || column >= kGlyphWidth || row < 0 || row >= kGlyphHeight) {
        return false;
    }
    return (glyph->rows[row] >> (kGlyphWidth - 1 - column) & 1) != 0;
}

RateOverlayLayout LayOutRateOverlay(const std::string& text, int32_t width, int32_t height) {
    // A font pixel is this many screen pixels: two on a 720-line view, more on larger ones.
    const int32_t fullScale = std::max<int32_t>(1, height / 360);
    const std::vector<std::vector<std::string>> forms = FormsOf(text);
    for (const std::vector<std::string>& lines : forms) {
        for (int32_t scale = fullScale; scale >= 1; --scale) {
            const RateOverlayLayout layout = Measure(lines, scale);
            if (layout.right <= width && layout.bottom <= height) {
                return layout;
            }
        }
    }
    return Measure(forms.back(), 1);
}

std::string RateOverlayText(bool known, double framesPerSecond, double stepsPerSecond) {
    if (!known) {
        return "-- frames/s  -- steps/s";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f frames/s  %.1f steps/s", framesPerSecond,
                  stepsPerSecond);
    return text;
}

void DrawRateOverlay(const std::string& text, int32_t x, int32_t y, int32_t width, int32_t height) {
    const RateOverlayLayout layout = LayOutRateOverlay(text, width, height);
    const int32_t scale = layout.scale;
    const int32_t advance = (kGlyphWidth + 1) * scale;
    const int32_t lineAdvance = (kGlyphHeight + kLineGap) * scale;
    const int32_t margin = kMargin * scale;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // One unit per pixel, y down from the view's top, as text is laid out.
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(x, y, width, height);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_FLAT);

    // A dark backing keeps the text readable over the brightest glow.
    glColor3f(0.0f, 0.0f, 0.0f);
    glRecti(margin / 2, margin / 2, layout.right, layout.bottom);

    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (size_t line = 0; line < layout.lines.size(); ++line) {
        const std::string& chars = layout.lines[line];
        const int32_t top = margin + static_cast<int32_t>(line) * lineAdvance;
        for (size_t i = 0; i < chars.size(); ++i) {
            const int32_t left = margin + static_cast<int32_t>(i) * advance;
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int column = 0; column < kGlyphWidth; ++column) {
                    if (!GlyphPixel(chars[i], column, row)) {
                        continue;
                    }
                    const int32_t px = left + column * scale;
                    const int32_t py = top + row * scale;
                    glVertex2i(px, py);
                    glVertex2i(px + scale, py);
                    glVertex2i(px + scale, py + scale);
                    glVertex2i(px, py + scale);
                }
            }
        }
    }
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void DrawRateOverlayInViewport(const std::string& text) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    DrawRateOverlay(text, viewport[0], viewport[1], viewport[2], viewport[3]);
}
