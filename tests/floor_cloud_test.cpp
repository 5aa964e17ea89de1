#include <gtest/gtest.h>

#include "scene/cloud.h"
#include "scene/floor.h"
#include "tests/object_test_support.h"

namespace {

using FloorTest = ScriptedTest;
using CloudTest = ScriptedTest;

TEST_F(FloorTest, ConstructorTakesEightDrawsInFieldOrder) {
    RandDrawCounter draws;
    ScriptRandom({17500, 1, 599, 15999, 8200, 254, 0, 32767});
    OnDirtyMemory<Floor> f;
    EXPECT_EQ(draws.Draws(), 8u);
    EXPECT_EQ(f->x, -35000.0f);
    EXPECT_EQ(f->y, -69998.0f);
    EXPECT_EQ(f->z, -470.1f);
    EXPECT_EQ(f->scaleX, 399.95f);
    EXPECT_EQ(f->scaleY, 10.0f);
    EXPECT_EQ(f->red, 254);
    EXPECT_EQ(f->green, 0);
    EXPECT_EQ(f->blue, 127);
}

TEST_F(FloorTest, ExtremesAndTheMinimumScale) {
    ScriptRandomRepeated(0, 8);
    Floor low;
    EXPECT_EQ(low.x, -70000.0f);
    EXPECT_EQ(low.y, -70000.0f);
    EXPECT_EQ(low.z, -530.0f);
    EXPECT_EQ(low.scaleX, 10.0f);
    EXPECT_EQ(low.scaleY, 10.0f);

    ScriptRandomRepeated(32767, 8);
    Floor high;
    EXPECT_EQ(high.x, -4466.0f);
    EXPECT_EQ(high.y, -4466.0f);
    EXPECT_EQ(high.z, -493.3f); // 32767 % 600 = 367
    EXPECT_EQ(high.scaleX, 10.0f);

    // 8199 gives 9.95 and is raised; 8200 gives exactly 10; 8201 stays just above.
    ScriptRandom({0, 0, 0, 8199, 8201, 0, 0, 0});
    Floor edge;
    EXPECT_EQ(edge.scaleX, 10.0f);
    EXPECT_EQ(edge.scaleY, 10.05f);

    // A little over half of all scales end at the minimum: the 17168 values of r below 8200
    // modulo 16000 are raised, and the two at exactly 8200 give 10 by themselves.
    int minimum = 0;
    for (int r = 0; r <= 32767; ++r) {
        ScriptRandom({0, 0, 0, r, 8200, 0, 0, 0});
        Floor f;
        minimum += f.scaleX == 10.0f ? 1 : 0;
        ASSERT_GE(f.scaleX, 10.0f);
        ASSERT_LE(f.scaleX, 399.95f);
    }
    EXPECT_EQ(minimum, 17168 + 2);
}

TEST_F(CloudTest, ConstructorTakesSixDrawsInFieldOrder) {
    RandDrawCounter draws;
    ScriptRandom({1, 32767, 1000, 15999, 0, 3999});
    OnDirtyMemory<Cloud> c;
    EXPECT_EQ(draws.Draws(), 6u);
    EXPECT_EQ(c->x, -69998.0f);
    EXPECT_EQ(c->y, -4466.0f);
    EXPECT_EQ(c->z, 9000.0f);
    EXPECT_EQ(c->scaleX, 15999.0f / 50.0f + 250.0f);
    EXPECT_EQ(c->scaleY, 250.0f);
    EXPECT_EQ(c->speed, 3999.0f / 120.0f + 4.0f);
    EXPECT_FLOAT_EQ(c->speed, 37.325f);

    ScriptRandomRepeated(32767, 6);
    Cloud high;
    EXPECT_EQ(high.z, 40767.0f);
    EXPECT_EQ(high.scaleX, 767.0f / 50.0f + 250.0f);
    EXPECT_EQ(high.speed, 767.0f / 120.0f + 4.0f);

    ScriptRandomRepeated(0, 6);
    Cloud low;
    EXPECT_EQ(low.x, -70000.0f);
    EXPECT_EQ(low.z, 8000.0f);
    EXPECT_EQ(low.speed, 4.0f);
}

TEST_F(CloudTest, DriftsAndWrapsOnlyPastExactly140000) {
    ScriptRandomRepeated(0, 6); // speed 4
    Cloud c;
    RandDrawCounter draws;
    c.CalcCloud();
    EXPECT_EQ(c.x, -69996.0f);
    c.x = 139996.0f;
    c.CalcCloud();
    EXPECT_EQ(c.x, 140000.0f) << "exactly at the limit: no jump yet";
    c.CalcCloud();
    EXPECT_EQ(c.x, -140000.0f) << "the jump drops the rest of the step";
    c.CalcCloud();
    EXPECT_EQ(c.x, -139996.0f);
    EXPECT_EQ(draws.Draws(), 0u);
    EXPECT_EQ(c.y, -70000.0f);
    EXPECT_EQ(c.z, 8000.0f);

    // A full cycle at the slowest speed takes 70000 frames.
    c.x = -140000.0f;
    int frames = 0;
    do {
        c.CalcCloud();
        ++frames;
    } while (c.x != -140000.0f && frames < 100000);
    EXPECT_EQ(frames, 70001);
}

} // namespace
