#include "scene/carz.h"

#include <gtest/gtest.h>

#include <vector>

#include "scene/world.h"
#include "tests/object_test_support.h"

namespace {

using CarzTest = ScriptedTest;

// A box that gives its corner array back when the test is done with it; the program's own boxes
// keep theirs for the whole process.
struct OwnedBox {
    Carz box;
    ~OwnedBox() { delete[] box.corners; }
};

// Draws for one box: column, row, x jitter, y jitter, height, scale, stretch, red, green, blue,
// translucent, shape.
void ScriptBox(int column, int row, int jitterX, int jitterY, int height, int scale, int stretch,
               int shape) {
    ScriptRandom({column, row, jitterX, jitterY, height, scale, stretch, 10, 20, 30, 1, shape});
}

TEST_F(CarzTest, ConstructorTakesTwelveDrawsWithTheFlagBeforeTheShape) {
    RandDrawCounter draws;
    ScriptRandom({3, 17, 9999, 0, 1001, 300, 1449, 254, 1, 2, 5, 4});
    OwnedBox b;
    EXPECT_EQ(draws.Draws(), 12u);
    EXPECT_FLOAT_EQ(b.box.x, 4999.0f / 9.0f - 56000.0f);
    EXPECT_FLOAT_EQ(b.box.y, -5000.0f / 9.0f); // cell 17 is centred on 0
    EXPECT_EQ(b.box.z, 500.5f);
    EXPECT_EQ(b.box.scale, 1.5f);
    EXPECT_EQ(b.box.constHalf, 0.5f);
    EXPECT_EQ(b.box.stretch, 1519.0f);
    EXPECT_EQ(b.box.red, 254);
    EXPECT_EQ(b.box.green, 1);
    EXPECT_EQ(b.box.blue, 2);
    EXPECT_EQ(b.box.translucent, 1);
    EXPECT_EQ(b.box.shape, 1);
    ASSERT_NE(b.box.corners, nullptr);
}

TEST_F(CarzTest, ConstructorAtTheEndsOfTheRandomRange) {
    ScriptRandomRepeated(0, 12);
    OwnedBox low;
    EXPECT_FLOAT_EQ(low.box.x, -68000.0f - 5000.0f / 9.0f);
    EXPECT_FLOAT_EQ(low.box.y, -68000.0f - 5000.0f / 9.0f);
    EXPECT_EQ(low.box.z, 0.0f);
    EXPECT_EQ(low.box.scale, 0.5f);
    EXPECT_EQ(low.box.stretch, 70.0f);
    EXPECT_EQ(low.box.red, 0);
    EXPECT_EQ(low.box.translucent, 0);
    EXPECT_EQ(low.box.shape, 0);

    // 32767: cell 7, jitter 2767 - 5000, height 32767 / 2 although the remainder is by 70000.
    ScriptRandomRepeated(32767, 12);
    OwnedBox high;
    EXPECT_FLOAT_EQ(high.box.x, -40000.0f - 2233.0f / 9.0f);
    EXPECT_FLOAT_EQ(high.box.y, high.box.x);
    EXPECT_EQ(high.box.z, 16383.5f);
    EXPECT_FLOAT_EQ(high.box.scale, 767.0f / 300.0f + 0.5f);
    EXPECT_EQ(high.box.stretch, 937.0f);
    EXPECT_EQ(high.box.red, 127);
    EXPECT_EQ(high.box.translucent, 1);
    EXPECT_EQ(high.box.shape, 1);

    // The far cell with the largest jitter, the largest scale.
    ScriptRandom({34, 34, 9999, 9999, 1, 999, 0, 0, 0, 0, 0, 2});
    OwnedBox far;
    EXPECT_FLOAT_EQ(far.box.x, 68000.0f + 4999.0f / 9.0f);
    EXPECT_LT(far.box.x, worldsize);
    EXPECT_FLOAT_EQ(far.box.scale, 999.0f / 300.0f + 0.5f);
    EXPECT_EQ(far.box.shape, 2);
}

// Expected extent of a corner along one axis, from the unit cube's sign on that axis.
float Extent(int k, int axis, float centre, float half) {
    return centre + (cc_points[3 * k + axis] > 0 ? half : -half);
}

TEST_F(CarzTest, CornersOfEachShape) {
    // Column 20, row 10: centre (12000, -28000); jitters 0; height 2000; scale 2.5; stretch 100.
    for (int shape = 0; shape < 3; ++shape) {
        ScriptBox(20, 10, 5000, 5000, 4000, 600, 30, shape);
        OwnedBox b;
        ASSERT_EQ(b.box.x, 12000.0f);
        ASSERT_EQ(b.box.y, -28000.0f);
        ASSERT_EQ(b.box.z, 2000.0f);
        ASSERT_EQ(b.box.scale, 2.5f);
        ASSERT_EQ(b.box.stretch, 100.0f);
        b.box.SetupCarz();
        const float side = 25 * 2.5f, along = 25 * 2.5f * 100;
        for (int k = 0; k < 8; ++k) {
            const float* c = b.box.corners + 3 * k;
            switch (shape) {
            case 0:
                EXPECT_EQ(c[0], Extent(k, 0, 12000, along)) << k;
                EXPECT_EQ(c[1], Extent(k, 1, -28000, side)) << k;
                EXPECT_EQ(c[2], Extent(k, 2, 2000, side)) << k;
                break;
            case 1:
                EXPECT_EQ(c[0], Extent(k, 0, 12000, side)) << k;
                EXPECT_EQ(c[1], Extent(k, 1, -28000, along)) << k;
                EXPECT_EQ(c[2], Extent(k, 2, 2000, side)) << k;
                break;
            default:
                // A tower ignores its height: its top rises, its bottom stays below the ground.
                EXPECT_EQ(c[0], Extent(k, 0, 12000, side)) << k;
                EXPECT_EQ(c[1], Extent(k, 1, -28000, side)) << k;
                EXPECT_EQ(c[2], k < 4 ? along : -side) << k;
                break;
            }
        }
    }
}

TEST_F(CarzTest, SetupIsRepeatableAndOverwritesEverything) {
    for (int shape = 0; shape < 3; ++shape) {
        // Jitters, scale and stretch that do not come out round.
        ScriptBox(5, 29, 1234, 8765, 32001, 777, 1333, shape);
        OwnedBox b;
        b.box.SetupCarz();
        const std::vector<float> first(b.box.corners, b.box.corners + 24);
        for (int i = 0; i < 24; ++i) {
            b.box.corners[i] = 1e30f;
        }
        b.box.SetupCarz();
        b.box.SetupCarz();
        EXPECT_EQ(std::vector<float>(b.box.corners, b.box.corners + 24), first) << shape;
        // The unused constant plays no part.
        b.box.constHalf = 123.0f;
        b.box.SetupCarz();
        EXPECT_EQ(std::vector<float>(b.box.corners, b.box.corners + 24), first) << shape;
    }
}

TEST_F(CarzTest, UnknownShapeIsOnlyScaled) {
    ScriptBox(20, 10, 5000, 5000, 4000, 600, 30, 0);
    OwnedBox b;
    b.box.shape = 3;
    b.box.SetupCarz();
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(b.box.corners[i], cc_points[i] * 2.5f);
    }
}

TEST_F(CarzTest, RandomBoxesStayInsideTheWorld) {
    Srand(20050101);
    for (int i = 0; i < 20000; ++i) {
        OwnedBox b;
        ASSERT_GE(b.box.x, -68555.56f);
        ASSERT_LE(b.box.x, 68555.45f);
        ASSERT_GE(b.box.y, -68555.56f);
        ASSERT_LE(b.box.y, 68555.45f);
        ASSERT_GE(b.box.z, 0.0f);
        ASSERT_LE(b.box.z, 16383.5f);
        ASSERT_GE(b.box.scale, 0.5f);
        ASSERT_LT(b.box.scale, 3.84f);
        ASSERT_GE(b.box.stretch, 70.0f);
        ASSERT_LE(b.box.stretch, 1519.0f);
        for (int c : {b.box.red, b.box.green, b.box.blue}) {
            ASSERT_GE(c, 0);
            ASSERT_LE(c, 254);
        }
        ASSERT_TRUE(b.box.shape >= 0 && b.box.shape <= 2);
        ASSERT_TRUE(b.box.translucent == 0 || b.box.translucent == 1);
        b.box.SetupCarz();
        if (b.box.shape == 2) {
            for (int k = 4; k < 8; ++k) {
                ASSERT_EQ(b.box.corners[3 * k + 2], -25 * b.box.scale);
            }
        }
    }
}

} // namespace
