#include "scene/moverz.h"

#include <gtest/gtest.h>

#include "scene/world.h"
#include "tests/object_test_support.h"

namespace {

using MoverzTest = ScriptedTest;

// A mover with a chosen heading and speed: speed = speedR % 200 / 20 + 15.
Moverz Make(int heading, int speedR) {
    ScriptRandom({0, 0, 0, 0, 0, heading, speedR});
    return Moverz();
}

// Steps until the next corner and returns how many steps that took; fails on any draw before it.
int StepToCorner(Moverz& m, int turnR) {
    for (int steps = 1; steps < 1000; ++steps) {
        const float before = m.travelled;
        RandDrawCounter draws;
        if (before + m.speed > blocksize) {
            ScriptRandom({turnR});
        }
        m.CalcMoverz();
        if (m.travelled == 0.0f) {
            EXPECT_EQ(draws.Draws(), 1u);
            return steps;
        }
        EXPECT_EQ(draws.Draws(), 0u) << "a step without a corner draws nothing";
    }
    ADD_FAILURE() << "no corner within 1000 steps";
    return -1;
}

TEST_F(MoverzTest, ConstructorTakesSevenDrawsInOrder) {
    RandDrawCounter draws;
    ScriptRandom({49, 60, 1, 2, 254, 5, 33});
    OnDirtyMemory<Moverz> m;
    EXPECT_EQ(draws.Draws(), 7u);
    EXPECT_EQ(m->x, 0.0f);
    EXPECT_EQ(m->y, 0.0f);
    EXPECT_EQ(m->z, 100.0f);
    EXPECT_EQ(m->scaleX, 49.0f / 50.0f + 3.0f);
    EXPECT_EQ(m->scaleY, m->scaleX);
    EXPECT_EQ(m->scaleZ, 2.0f + 3.0f);
    EXPECT_EQ(m->red, 1);
    EXPECT_EQ(m->green, 2);
    EXPECT_EQ(m->blue, 254);
    EXPECT_EQ(m->heading, 2);
    EXPECT_EQ(m->speed, 33.0f / 20.0f + 15.0f);
    EXPECT_EQ(m->laneOffset, m->speed * 5.0f);
    EXPECT_EQ(m->travelled, 0.0f);
    EXPECT_EQ(m->turn, 0);
    EXPECT_EQ(m->laneX, 0.0f);
    EXPECT_EQ(m->laneY, 0.0f);
}

TEST_F(MoverzTest, ConstructorAtTheEndsOfTheRandomRange) {
    ScriptRandomRepeated(0, 7);
    Moverz low;
    EXPECT_EQ(low.scaleX, 3.0f);
    EXPECT_EQ(low.scaleZ, 3.0f);
    EXPECT_EQ(low.heading, 0);
    EXPECT_EQ(low.speed, 15.0f);
    EXPECT_EQ(low.laneOffset, 75.0f);

    ScriptRandom({99, 99, 254, 254, 254, 2, 199});
    Moverz top;
    EXPECT_FLOAT_EQ(top.scaleX, 4.98f);
    EXPECT_FLOAT_EQ(top.scaleZ, 6.3f);
    EXPECT_EQ(top.heading, 2);
    EXPECT_EQ(top.speed, 24.95f);
    EXPECT_EQ(top.laneOffset, 24.95f * 5.0f);

    // 32767: 67 for the scales, 127 for the colours, heading 1 (never 3), 167 for the speed.
    ScriptRandomRepeated(32767, 7);
    Moverz high;
    EXPECT_EQ(high.scaleX, 67.0f / 50.0f + 3.0f);
    EXPECT_EQ(high.scaleZ, 67.0f / 30.0f + 3.0f);
    EXPECT_EQ(high.red, 127);
    EXPECT_EQ(high.heading, 1);
    EXPECT_EQ(high.speed, 167.0f / 20.0f + 15.0f);
}

TEST_F(MoverzTest, FirstStepMovesOneSpeedAlongTheHeading) {
    const float expected[3][2] = {{20, 0}, {-20, 0}, {0, 20}};
    for (int heading = 0; heading < 3; ++heading) {
        Moverz m = Make(heading, 100);
        RandDrawCounter draws;
        m.CalcMoverz();
        EXPECT_EQ(draws.Draws(), 0u);
        EXPECT_EQ(m.x, expected[heading][0]);
        EXPECT_EQ(m.y, expected[heading][1]);
        EXPECT_EQ(m.travelled, 20.0f);
        EXPECT_EQ(m.laneX, 0.0f);
        EXPECT_EQ(m.laneY, 0.0f);
    }
}

TEST_F(MoverzTest, CornerPullsBackOntoTheBlockAndDrawsOnce) {
    // Speed 20 lands on 4000 exactly after 200 steps: not past it, so the corner is one later.
    Moverz even = Make(0, 100);
    EXPECT_EQ(StepToCorner(even, 0), 201);
    EXPECT_EQ(even.x, 4000.0f);
    // Speed 15 overshoots to 4005 and is pulled back by 5.
    Moverz odd = Make(1, 0);
    EXPECT_EQ(StepToCorner(odd, 0), 267);
    EXPECT_EQ(odd.x, -4000.0f);
    EXPECT_EQ(odd.heading, 1);
    // Straight on still moves the drawn box onto its lane.
    EXPECT_EQ(odd.laneX, 0.0f);
    EXPECT_EQ(odd.laneY, 75.0f);
    EXPECT_EQ(StepToCorner(odd, 0), 267);
    EXPECT_EQ(odd.x, -8000.0f);
}

TEST_F(MoverzTest, TurnAndLaneTables) {
    const int newHeading[4][3] = {{0, 2, 3}, {1, 2, 3}, {0, 1, 2}, {0, 1, 3}};
    for (int from = 0; from < 4; ++from) {
        for (int turnR : {0, 1, 2, 32767 - 2, 32767 - 1, 32767}) {
            Moverz m = Make(0, 100); // speed 20, lane offset 100
            m.heading = from;
            m.x = 8000;
            m.y = -12000;
            m.travelled = 3990;
            ScriptRandom({turnR});
            m.CalcMoverz();
            const int turn = turnR % 3;
            EXPECT_EQ(m.turn, turn);
            EXPECT_EQ(m.travelled, 0.0f);
            const int to = newHeading[from][turn];
            ASSERT_EQ(m.heading, to) << "from " << from << " turn " << turn;
            const float laneX[4] = {0, 0, 100, -100}, laneY[4] = {-100, 100, 0, 0};
            EXPECT_EQ(m.laneX, laneX[to]);
            EXPECT_EQ(m.laneY, laneY[to]);
            // Moved 20 and pulled back by the 10 beyond the block.
            const float dx[4] = {10, -10, 0, 0}, dy[4] = {0, 0, 10, -10};
            EXPECT_EQ(m.x, 8000 + dx[from]);
            EXPECT_EQ(m.y, -12000 + dy[from]);
        }
    }
}

TEST_F(MoverzTest, WrapsAtBothEdgesAndTurnsOffTheGridAfterwards) {
    struct Case {
        int heading;
        float start;   // 10 short of the edge
        float wrapped; // the opposite edge
        float corner;  // the first corner after the wrap
    };
    const Case cases[] = {{0, 69990, -70000, -66020},
                          {1, -69990, 70000, 66020},
                          {2, 69990, -70000, -66020},
                          {3, -69990, 70000, 66020}};
    for (const Case& k : cases) {
        Moverz m = Make(0, 100); // speed 20
        m.heading = k.heading;
        float& p = k.heading < 2 ? m.x : m.y;
        const float& other = k.heading < 2 ? m.y : m.x;
        p = k.start;
        m.travelled = 3990; // would make a corner, but the wrap restarts the count
        m.laneX = 7;
        m.laneY = -9;
        RandDrawCounter draws;
        m.CalcMoverz();
        EXPECT_EQ(draws.Draws(), 0u);
        EXPECT_EQ(p, k.wrapped) << k.heading;
        EXPECT_EQ(other, 0.0f);
        EXPECT_EQ(m.travelled, 20.0f);
        EXPECT_EQ(m.laneX, 7.0f) << "a wrap keeps the lane";
        EXPECT_EQ(m.laneY, -9.0f);
        // Straight on for every heading: turn 0 on x, 2 on y.
        EXPECT_EQ(StepToCorner(m, k.heading < 2 ? 0 : 2), 200);
        EXPECT_EQ(p, k.corner) << k.heading;
        EXPECT_EQ(m.heading, k.heading);
        EXPECT_EQ(StepToCorner(m, k.heading < 2 ? 0 : 2), 201);
        EXPECT_EQ(p, k.corner + (k.corner < 0 ? 4000 : -4000));
    }
}

TEST_F(MoverzTest, ExactlyOnTheEdgeDoesNotWrapUntilThePassingStep) {
    Moverz m = Make(0, 100);
    m.x = 69980;
    m.CalcMoverz();
    EXPECT_EQ(m.x, 70000.0f);
    EXPECT_EQ(m.travelled, 20.0f);
    m.CalcMoverz();
    EXPECT_EQ(m.x, -70000.0f);
    EXPECT_EQ(m.travelled, 20.0f);

    Moverz back = Make(1, 100);
    back.x = -69980;
    back.CalcMoverz();
    EXPECT_EQ(back.x, -70000.0f);
    back.CalcMoverz();
    EXPECT_EQ(back.x, 70000.0f);
}

TEST_F(MoverzTest, UnknownHeadingDoesNothing) {
    Moverz m = Make(0, 100);
    m.heading = 4;
    m.travelled = 3999;
    RandDrawCounter draws;
    m.CalcMoverz();
    EXPECT_EQ(draws.Draws(), 0u);
    EXPECT_EQ(m.x, 0.0f);
    EXPECT_EQ(m.travelled, 3999.0f);
}

} // namespace
