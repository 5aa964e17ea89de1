#include "scene/camera.h"

#include <gtest/gtest.h>

#include "tests/object_test_support.h"

namespace {

using CameraTest = ScriptedTest;

void ExpectPoint(const float p[3], float x, float y, float z) {
    EXPECT_EQ(p[0], x);
    EXPECT_EQ(p[1], y);
    EXPECT_EQ(p[2], z);
}

// A camera after its first step with known segments: the eye's lasts `eyeR % 960 + 560` frames,
// the look-at point's `lookR % 760 + 380`.
void FirstStep(Camera& c, int eyeAxisR, int eyeCoordR, int eyeR, int lookCoordR, int lookR) {
    ScriptRandom({eyeAxisR, eyeCoordR, eyeR, lookCoordR, lookR});
    c.CalcCamera();
}

TEST_F(CameraTest, ConstructorSetsStartValuesWithoutDrawingAndZeroesTheRest) {
    RandDrawCounter draws;
    OnDirtyMemory<Camera> c;
    auto heap = std::make_unique<Camera>();
    EXPECT_EQ(draws.Draws(), 0u);
    for (Camera* cam : {&*c, heap.get()}) {
        ExpectPoint(cam->eyeTarget, 0, 80, 300);
        ExpectPoint(cam->eyeStart, 0, 50, 100);
        ExpectPoint(cam->eyeCurrent, 10.01f, 10.01f, 200.01f);
        ExpectPoint(cam->lookTarget, 0, 0, 0);
        ExpectPoint(cam->lookStart, 0, 0, 0);
        ExpectPoint(cam->lookCurrent, 0, 0, 0);
        EXPECT_EQ(cam->eyeFrame, 20);
        EXPECT_EQ(cam->eyeDuration, 2);
        EXPECT_EQ(cam->lookFrame, 20);
        EXPECT_EQ(cam->lookDuration, 2);
        EXPECT_EQ(cam->axisChoice, 0);
        EXPECT_EQ(cam->lookAxis, 0);
    }
}

TEST_F(CameraTest, FirstStepRetargetsBothPointsWithFiveDrawsAndShowsTheInitialView) {
    Camera c;
    RandDrawCounter draws;
    // Eye: axis 2 (y) to ((12345 % 40000) - 20000) / 2; length 100 % 960 + 560.
    // Look: axis 1 (z) to ((5000 % 22000) - 12000) * 10; length 900 % 760 + 380.
    FirstStep(c, 2, 12345, 100, 5000, 900);
    EXPECT_EQ(draws.Draws(), 5u);
    ExpectPoint(c.eyeStart, 0, 80, 300);
    ExpectPoint(c.eyeTarget, 0, -3827.5f, 300);
    ExpectPoint(c.eyeCurrent, 0, 80, 300);
    ExpectPoint(c.lookStart, 0, 0, 0);
    ExpectPoint(c.lookTarget, 0, 0, -70000);
    ExpectPoint(c.lookCurrent, 0, 0, 0);
    EXPECT_EQ(c.eyeFrame, 0);
    EXPECT_EQ(c.lookFrame, 0);
    EXPECT_EQ(c.eyeDuration, 660);
    EXPECT_EQ(c.lookDuration, 520);
    EXPECT_EQ(c.lookAxis, 1);
    EXPECT_EQ(c.axisChoice, 1);
}

TEST_F(CameraTest, EyeTargetFormulasAtTheirBoundaries) {
    struct Case {
        int axis, r;
        float x, y, z;
    };
    // Axis 0 moves x, 1 moves z (the height), 2 moves y; the others keep (0, 80, 300).
    const Case cases[] = {
        {0, 0, -10000, 80, 300},  {0, 32767, 6383.5f, 80, 300}, {0, 1, -9999.5f, 80, 300},
        {2, 0, 0, -10000, 300},   {2, 32767, 0, 6383.5f, 300},  {1, 0, 0, 80, 20},
        {1, 19999, 0, 80, 20019}, {1, 20000, 0, 80, 20},        {1, 32767, 0, 80, 12787},
    };
    for (const Case& k : cases) {
        Camera c;
        // The axis draw goes through % 3, so 3 + axis must select the same axis.
        FirstStep(c, 3 + k.axis, k.r, 0, 0, 0);
        ExpectPoint(c.eyeTarget, k.x, k.y, k.z);
        EXPECT_EQ(c.eyeDuration, 560) << "r = 0 gives the shortest segment";
        EXPECT_EQ(c.lookDuration, 380);
    }
    Camera longest;
    FirstStep(longest, 0, 0, 959, 0, 759);
    EXPECT_EQ(longest.eyeDuration, 1519);
    EXPECT_EQ(longest.lookDuration, 1139);
    Camera wrapped;
    FirstStep(wrapped, 0, 0, 960, 0, 760);
    EXPECT_EQ(wrapped.eyeDuration, 560);
    EXPECT_EQ(wrapped.lookDuration, 380);
    EXPECT_EQ(wrapped.eyeTarget[0], -10000);
    EXPECT_EQ(wrapped.lookTarget[2], -120000);
}

TEST_F(CameraTest, LookTargetFormulaAtItsBoundaries) {
    const struct {
        int r;
        float value;
    } cases[] = {{0, -120000}, {21999, 99990}, {22000, -120000}, {32767, -12330}, {12000, 0}};
    for (const auto& k : cases) {
        Camera c;
        FirstStep(c, 0, 0, 0, k.r, 0);
        ExpectPoint(c.lookTarget, 0, 0, k.value);
    }
}

TEST_F(CameraTest, EyeReachesItsTargetAndRetargetsOnTheFollowingFrame) {
    Camera c;
    // Eye: x to 4000 over 560 frames. Look: z over 1139 frames, so it stays out of the way.
    FirstStep(c, 0, 28000, 0, 0, 759);
    ASSERT_EQ(c.eyeDuration, 560);
    RandDrawCounter draws;
    for (int f = 1; f <= 560; ++f) {
        c.CalcCamera();
        ASSERT_EQ(c.eyeFrame, f);
        ASSERT_EQ(c.eyeCurrent[0], GlideAt(0, 4000, 560, f)) << "frame " << f;
        ASSERT_EQ(c.eyeCurrent[1], 80);
        ASSERT_EQ(c.eyeCurrent[2], 300);
    }
    EXPECT_EQ(draws.Draws(), 0u);
    EXPECT_FLOAT_EQ(c.eyeCurrent[0], 4000);

    // The frame after the target retargets: three draws, and the new segment starts on the same
    // point. Axis 1 this time: only the height changes.
    ScriptRandom({1, 5000, 10});
    c.CalcCamera();
    EXPECT_EQ(draws.Draws(), 3u);
    EXPECT_EQ(c.eyeFrame, 0);
    EXPECT_EQ(c.eyeDuration, 570);
    ExpectPoint(c.eyeStart, 4000, 80, 300);
    ExpectPoint(c.eyeTarget, 4000, 80, 5020);
    ExpectPoint(c.eyeCurrent, 4000, 80, 300);
    EXPECT_EQ(c.axisChoice, 1);
    EXPECT_EQ(c.lookAxis, 1) << "the eye's retarget must not move the look-at axis";
    EXPECT_EQ(c.lookFrame, 561);
}

TEST_F(CameraTest, LookAtGlidesAndItsAxesCycleZYXWhateverTheDraws) {
    Camera c;
    // Both segments as short as possible, so they end together from then on; the eye's three
    // draws come first each time.
    FirstStep(c, 0, 0, 0, 0, 0);
    ASSERT_EQ(c.lookDuration, 380);
    const int expectedIndex[] = {1, 0, 2, 1, 0, 2}; // y, x, z, y, x, z after the first z
    float previous[3] = {c.lookTarget[0], c.lookTarget[1], c.lookTarget[2]};
    for (int retarget = 0; retarget < 6; ++retarget) {
        for (int f = 1; f <= 380; ++f) {
            c.CalcCamera();
        }
        ASSERT_EQ(c.lookFrame, 380);
        for (int k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(c.lookCurrent[k], previous[k]);
        }
        // Should the eye's segment end on the same frame, its three draws come first.
        const int lookR = 1000 + 2000 * retarget;
        if (c.eyeFrame + 1 > c.eyeDuration) {
            ScriptRandom({0, 0, 180});
        }
        ScriptRandom({lookR, 0});
        c.CalcCamera();
        EXPECT_EQ(ScriptedRandomRemaining(), 0);
        const int index = expectedIndex[retarget];
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(c.lookStart[k], previous[k]);
            const float expected =
                k == index ? static_cast<float>((lookR - 12000) * 10) : previous[k];
            EXPECT_EQ(c.lookTarget[k], expected) << "retarget " << retarget << " axis " << k;
            previous[k] = c.lookTarget[k];
        }
        EXPECT_EQ(c.lookAxis, (retarget + 2) % 3);
        EXPECT_EQ(c.axisChoice, c.lookAxis);
    }
}

TEST_F(CameraTest, GlideFollowsTheFixedOrderOfOperations) {
    Camera c;
    // Eye y from 80 to (32767 - 20000) / 2 = 6383.5 over 1519 frames; look z to 99990 over 1139.
    FirstStep(c, 2, 32767, 959, 21999, 759);
    for (int f = 1; f <= 1139; ++f) {
        c.CalcCamera();
        ASSERT_EQ(c.eyeCurrent[1], GlideAt(80, 6383.5f, 1519, f)) << f;
        ASSERT_EQ(c.lookCurrent[2], GlideAt(0, 99990, 1139, f)) << f;
    }
}

} // namespace
