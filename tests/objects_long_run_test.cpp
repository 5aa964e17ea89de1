// Millions of steps of every object class, checking after each one that nothing has drifted out of
// its range: the animation runs for hours, so a rare branch that breaks an invariant will be hit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene/camera.h"
#include "scene/carz.h"
#include "scene/cloud.h"
#include "scene/floor.h"
#include "scene/lampje.h"
#include "scene/moverz.h"
#include "tests/object_test_support.h"

#ifndef ZORVIK_LONG_RUN_STEPS
#define ZORVIK_LONG_RUN_STEPS 10000000
#endif

namespace {

constexpr long kSteps = ZORVIK_LONG_RUN_STEPS;

// A failing check stops the run at once and says where; ASSERT_* on every step would cost more
// than the steps themselves.
#define CHECK_AT(cond, step)                                                                       \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            FAIL() << "step " << (step) << ": " #cond;                                             \
        }                                                                                          \
    } while (0)

bool Between(float v, float low, float high) {
    return std::isfinite(v) && v >= low && v <= high;
}

// The glide stays between its start and its target, up to float rounding.
bool OnSegment(float current, float start, float target) {
    const float low = std::fmin(start, target), high = std::fmax(start, target);
    const float slack = 1e-3f * std::fmax(1.0f, std::fmax(std::fabs(low), std::fabs(high)));
    return Between(current, low - slack, high + slack);
}

TEST(ObjectsLongRun, Camera) {
    ClearRandomScript();
    Srand(1);
    Camera c;
    int lookRetargets = 0;
    int previousLookAxis = c.lookAxis;
    for (long step = 0; step < kSteps; ++step) {
        const uint64_t before = RandDrawCount();
        c.CalcCamera();
        const uint64_t draws = RandDrawCount() - before;
        CHECK_AT(draws == (c.eyeFrame == 0 ? 3u : 0u) + (c.lookFrame == 0 ? 2u : 0u), step);
        CHECK_AT(c.eyeDuration >= 560 && c.eyeDuration <= 1519, step);
        CHECK_AT(c.lookDuration >= 380 && c.lookDuration <= 1139, step);
        CHECK_AT(c.eyeFrame >= 0 && c.eyeFrame <= c.eyeDuration, step);
        CHECK_AT(c.lookFrame >= 0 && c.lookFrame <= c.lookDuration, step);
        CHECK_AT(Between(c.eyeTarget[0], -10000, 6383.5f), step);
        CHECK_AT(Between(c.eyeTarget[1], -10000, 6383.5f), step);
        CHECK_AT(Between(c.eyeTarget[2], 20, 20019), step);
        for (int k = 0; k < 3; ++k) {
            // The constructor's y of 80 and height of 300 stay until their axes are drawn.
            CHECK_AT(Between(c.lookTarget[k], -120000, 99990), step);
            CHECK_AT(OnSegment(c.eyeCurrent[k], c.eyeStart[k], c.eyeTarget[k]), step);
            CHECK_AT(OnSegment(c.lookCurrent[k], c.lookStart[k], c.lookTarget[k]), step);
        }
        if (c.lookFrame == 0) {
            CHECK_AT(c.lookAxis == (previousLookAxis + 1) % 3, step);
            CHECK_AT(c.axisChoice == c.lookAxis, step);
            previousLookAxis = c.lookAxis;
            ++lookRetargets;
        }
    }
    // Segments last 381 to 1140 frames.
    EXPECT_GT(lookRetargets, kSteps / 1140);
    EXPECT_LT(lookRetargets, kSteps / 381 + 2);
}

TEST(ObjectsLongRun, Lampje) {
    ClearRandomScript();
    Srand(2);
    Lampje l;
    int resets = 0, picks = 0;
    for (long step = 0; step < kSteps; ++step) {
        const int lifeBefore = l.life;
        const uint64_t before = RandDrawCount();
        l.CalcLampje(4); // no OpenGL
        const uint64_t draws = RandDrawCount() - before - (l.frame == 0 ? 7u : 0u);
        // The life test, then at most one of: flicker cutoff, reset, colour pick (one redraw).
        CHECK_AT(draws == 1 || draws == 2 || draws == 5 || draws == 8, step);
        if (l.life >= 4010 && lifeBefore < 2001) {
            CHECK_AT(draws == 2 && l.mode == 0 && l.cutoff == 1.0f, step);
            ++resets;
        } else if (l.life > 4000 && l.life < 4010) {
            CHECK_AT(draws == 2 && l.mode == 0, step);
        } else if (l.life == 4000) {
            CHECK_AT((draws == 5 || draws == 8) && l.mode == 1, step);
            CHECK_AT(l.cutoff >= 20 && l.cutoff <= 49, step);
            ++picks;
        } else {
            CHECK_AT(draws == 1, step);
        }
        CHECK_AT(l.life >= 2000 && l.life <= 4409, step);
        CHECK_AT(l.mode >= 0 && l.mode <= 2, step);
        CHECK_AT(Between(l.cutoff, 1, 49), step);
        CHECK_AT(l.frame >= 0 && l.frame <= l.duration, step);
        CHECK_AT(l.duration == 200 || (l.duration >= 1000 && l.duration <= 2499), step);
        for (int k = 0; k < 3; ++k) {
            CHECK_AT(Between(l.color[k], 0, 0.99f), step);
            CHECK_AT(Between(l.posTarget[k], -500, 499), step);
            CHECK_AT(Between(l.dirTarget[k], -500, 499), step);
            CHECK_AT(OnSegment(l.posCurrent[k], l.posStart[k], l.posTarget[k]), step);
            CHECK_AT(OnSegment(l.dirCurrent[k], l.dirStart[k], l.dirTarget[k]), step);
        }
    }
    // A cycle lasts about 4 * 2200 frames.
    EXPECT_GT(resets, kSteps / 20000);
    EXPECT_GE(picks, resets - 1);
}

TEST(ObjectsLongRun, Moverz) {
    ClearRandomScript();
    Srand(3);
    Moverz m;
    long corners = 0;
    for (long step = 0; step < kSteps; ++step) {
        const uint64_t before = RandDrawCount();
        m.CalcMoverz();
        const uint64_t draws = RandDrawCount() - before;
        const bool corner = m.travelled == 0.0f;
        CHECK_AT(draws == (corner ? 1u : 0u), step);
        corners += corner ? 1 : 0;
        CHECK_AT(m.heading >= 0 && m.heading <= 3, step);
        CHECK_AT(m.turn >= 0 && m.turn <= 2, step);
        CHECK_AT(Between(m.x, -70000, 70000) && Between(m.y, -70000, 70000), step);
        CHECK_AT(Between(m.travelled, 0, 4000), step);
        if (corners > 0) {
            const float o = m.laneOffset;
            const float laneX[4] = {0, 0, o, -o}, laneY[4] = {-o, o, 0, 0};
            CHECK_AT(m.laneX == laneX[m.heading] && m.laneY == laneY[m.heading], step);
        }
    }
    // One corner every 4000 / speed steps or a little more (wraps restart the count).
    EXPECT_GT(corners, kSteps * static_cast<long>(m.speed) / 4000 * 9 / 10);
    EXPECT_LE(corners, static_cast<long>(kSteps * m.speed / 4000) + 1);
}

TEST(ObjectsLongRun, CloudFloorAndCarz) {
    ClearRandomScript();
    Srand(4);
    Cloud c;
    Floor f;
    Carz box;
    box.SetupCarz();
    unsigned char floorBefore[sizeof(Floor)], boxBefore[sizeof(Carz)], cornersBefore[96];
    std::memcpy(floorBefore, &f, sizeof f);
    std::memcpy(boxBefore, &box, sizeof box);
    std::memcpy(cornersBefore, box.corners, sizeof cornersBefore);
    const Cloud first = c;
    long wraps = 0;
    const uint64_t before = RandDrawCount();
    for (long step = 0; step < kSteps; ++step) {
        const float x = c.x;
        c.CalcCloud();
        f.CalcFloor();
        box.CalcCarz();
        CHECK_AT(Between(c.x, -140000, 140000), step);
        if (c.x == -140000.0f) {
            CHECK_AT(x + c.speed > 140000, step);
            ++wraps;
        } else {
            CHECK_AT(c.x == x + c.speed, step);
        }
    }
    EXPECT_EQ(RandDrawCount(), before);
    EXPECT_EQ(c.y, first.y);
    EXPECT_EQ(c.z, first.z);
    EXPECT_EQ(c.speed, first.speed);
    EXPECT_NEAR(wraps, kSteps * c.speed / 280000, 2);
    EXPECT_EQ(std::memcmp(floorBefore, &f, sizeof f), 0);
    EXPECT_EQ(std::memcmp(boxBefore, &box, sizeof box), 0);
    EXPECT_EQ(std::memcmp(cornersBefore, box.corners, sizeof cornersBefore), 0);
    delete[] box.corners;
}

} // namespace
