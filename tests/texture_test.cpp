#include <gtest/gtest.h>

#include <cstring>

#include "scene/texture.h"
#include "scene/world.h"

namespace {

struct Pixel {
    int r, g, b, a;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

std::ostream& operator<<(std::ostream& os, const Pixel& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

Pixel At(int row, int column) {
    const unsigned char* p = mtex + (row * texo + column) * 4;
    return {p[0], p[1], p[2], p[3]};
}

bool Black(const Pixel& p) {
    return p.r == 0 && p.g == 0 && p.b == 0 && p.a == 0;
}

class GlowImage : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        FillDegreeTables();
        // Dirty the buffers first: generation must not depend on what they held.
        std::memset(mtex, 0x5A, sizeof mtex);
        std::memset(mtexfilter, 0xA5, sizeof mtexfilter);
        discarded_ = GenerateGlowImage();
    }
    static int discarded_;
};
int GlowImage::discarded_ = 0;

} // namespace

TEST_F(GlowImage, SamplesPastTheEndAreDiscarded) {
    EXPECT_EQ(discarded_, 708);
}

TEST_F(GlowImage, GreyEverywhereWithTheListedTotals) {
    int nonBlack = 0;
    long sum = 0;
    int maxAlpha = -1, maxRow = -1, maxColumn = -1;
    for (int row = 0; row < texo; ++row) {
        for (int column = 0; column < texo; ++column) {
            const Pixel p = At(row, column);
            ASSERT_EQ(p.r, p.g) << row << "," << column;
            ASSERT_EQ(p.r, p.b) << row << "," << column;
            sum += p.r + p.g + p.b + p.a;
            if (!Black(p)) {
                ++nonBlack;
                EXPECT_GE(row, 1);
                EXPECT_GE(column, 1);
                EXPECT_LE(column, 125);
            }
            if (p.a > maxAlpha) {
                maxAlpha = p.a;
                maxRow = row;
                maxColumn = column;
            }
        }
    }
    EXPECT_EQ(mtex[0], 0);
    EXPECT_EQ(nonBlack, 11456);
    EXPECT_EQ(sum, 4703122);
    EXPECT_EQ(maxAlpha, 235);
    EXPECT_EQ(maxRow, 63);
    EXPECT_EQ(maxColumn, 63);
}

TEST_F(GlowImage, ListedPixels) {
    EXPECT_EQ(At(78, 78), (Pixel{249, 249, 249, 176}));
    EXPECT_EQ(At(64, 64), (Pixel{255, 255, 255, 233}));
    EXPECT_EQ(At(100, 100), (Pixel{28, 28, 28, 28}));
    EXPECT_EQ(At(63, 63).a, 235);
}

TEST_F(GlowImage, Row78Profile) {
    const int red[] = {253, 254, 252, 250, 247, 245, 220, 135, 81};
    const int alpha[] = {192, 192, 189, 181, 171, 158, 141, 106, 81};
    for (int k = 0; k < 9; ++k) {
        const int column = 60 + 5 * k;
        EXPECT_EQ(At(78, column).r, red[k]) << "column " << column;
        EXPECT_EQ(At(78, column).a, alpha[k]) << "column " << column;
    }
}

// The end of the last row is never written by the blur's copy-back and keeps raw disc samples.
TEST_F(GlowImage, LastRowKeepsRawSamplesPastColumn95) {
    EXPECT_EQ(At(127, 96), (Pixel{43, 43, 43, 43}));
    EXPECT_TRUE(Black(At(127, 98)));
    EXPECT_EQ(At(127, 116), (Pixel{3, 3, 3, 3}));
    EXPECT_EQ(At(127, 95), (Pixel{14, 14, 14, 14}));
}

TEST_F(GlowImage, RegenerationGivesTheSameImage) {
    unsigned char first[kGlowImageBytes];
    std::memcpy(first, mtex, sizeof first);
    EXPECT_EQ(GenerateGlowImage(), 708);
    EXPECT_EQ(std::memcmp(first, mtex, sizeof first), 0);
}

// One blur pass reads past the image's end as black and leaves the last 128 bytes alone.
TEST(GlowBlur, EdgesOfOnePass) {
    std::memset(mtex, 0, sizeof mtex);
    std::memset(mtex + kGlowImageBytes - 128, 200, 128);
    mtex[4] = 100;  // pixel (0, 1), red
    mtex[512] = 40; // pixel (1, 0), red
    qblur();
    EXPECT_EQ(mtex[0], (0 + 100 + 40 + 0) / 4);
    EXPECT_EQ(mtex[4], 100 / 4);
    for (int i = kGlowImageBytes - 128; i < kGlowImageBytes; ++i) {
        ASSERT_EQ(mtex[i], 200) << i;
    }
    // The last pixel sees black beyond the end; the last pixel of row 126 has row 127's column 0
    // as its right neighbour and column 127 below it, and black past the end as its fourth.
    EXPECT_EQ(mtexfilter[kGlowImageBytes - 4], (200 + 0 + 0 + 0) / 4);
    EXPECT_EQ(mtex[(126 * texo + 127) * 4], (0 + 0 + 200 + 0) / 4);
}
