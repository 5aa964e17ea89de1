#include "scene/texture.h"

#include <cstring>

#include "common/gl.h"

unsigned char mtex[kGlowImageBytes];
unsigned char mtexfilter[kGlowImageBytes];

namespace {

// The disc is drawn around (78, 78) rather than the middle: the blur drifts the content 15 pixels
// back towards row 0 and column 0.
constexpr int kDiscCentre = 78;
constexpr int kOuterRadii = 64;
constexpr int kCoreRadii = 35;
constexpr int kBlurPasses = 30;
// The blur copies back all but the last 128 bytes, so the end of the last row keeps raw samples.
constexpr int kBlurCopyBack = kGlowImageBytes - 128;

// Byte offset of the sample at `radius` along degree `angle`. The position is a flat offset, not a
// clipped (row, column) pair: a column past the edge runs on into the next row.
long SampleOffset(int radius, int angle) {
    const int column = static_cast<int>(radius * static_cast<double>(cosd[angle])) + kDiscCentre;
    const int row = static_cast<int>(radius * static_cast<double>(sind[angle])) + kDiscCentre;
    return (static_cast<long>(row) * texo + column) * 4;
}

bool InsideImage(long offset) {
    return offset >= 0 && offset + 3 < kGlowImageBytes;
}

unsigned BlurSource(int offset) {
    return offset < kGlowImageBytes ? mtex[offset] : 0u;
}

} // namespace

int GenerateGlowImage() {
    std::memset(mtex, 0, sizeof mtex);
    int discarded = 0;

    // Outer disc: grey levels fading outwards, alpha equal to the grey.
    for (int i = 0; i < kOuterRadii; ++i) {
        const auto value = static_cast<unsigned char>(255 - 4 * i);
        for (int j = 0; j < maxd; ++j) {
            const long o = SampleOffset(i, j);
            if (!InsideImage(o)) {
                ++discarded;
                continue;
            }
            std::memset(mtex + o, value, 4);
        }
    }

    // White core with a higher, fading alpha.
    for (int i = 0; i < kCoreRadii; ++i) {
        const auto alpha = static_cast<unsigned char>(255 - 3 * i);
        for (int j = 0; j < maxd; ++j) {
            const long o = SampleOffset(i, j);
            if (!InsideImage(o)) {
                ++discarded;
                continue;
            }
            std::memset(mtex + o, 255, 3);
            mtex[o + 3] = alpha;
        }
    }

    for (int pass = 0; pass < kBlurPasses; ++pass) {
        qblur();
    }
    return discarded;
}

void qblur() {
    // Each byte averages itself with the same channel of the next pixel in memory, of the pixel
    // one row on and of the one after that; beyond the image's end is black.
    for (int a = 0; a < kGlowImageBytes; ++a) {
        const unsigned sum = BlurSource(a) + BlurSource(a + 4) + BlurSource(a + texo * 4) +
                             BlurSource(a + texo * 4 + 4);
        mtexfilter[a] = static_cast<unsigned char>(sum / 4);
    }
    std::memcpy(mtex, mtexfilter, kBlurCopyBack);
}

void settexmap01() {
    GenerateGlowImage();
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, texo, texo, GL_RGBA, GL_UNSIGNED_BYTE, mtex);
}
