#include "scene/lampje.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/object_test_support.h"

namespace {

// Index 4 steps a light exactly as a real index would, without touching OpenGL (checked against
// index 3 in the OpenGL tests), so these tests need no rendering context.
constexpr int kNoLight = 4;

using LampjeTest = ScriptedTest;

void ExpectGrey(const Lampje& l, float value) {
    EXPECT_EQ(l.color[0], value);
    EXPECT_EQ(l.color[1], value);
    EXPECT_EQ(l.color[2], value);
}

// A light whose motion segment will not end during a test, at a chosen point of its life.
Lampje AtLife(int life, int mode, float cutoff) {
    ScriptRandomRepeated(0, 12);
    Lampje l;
    l.frame = INT_MIN / 2;
    l.life = life;
    l.mode = mode;
    l.cutoff = cutoff;
    return l;
}

TEST_F(LampjeTest, ConstructorTakesTwelveDrawsInFieldOrder) {
    ScriptRandom({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    RandDrawCounter draws;
    OnDirtyMemory<Lampje> l;
    EXPECT_EQ(draws.Draws(), 12u);
    EXPECT_EQ(l->posStart[0], -49);
    EXPECT_EQ(l->posStart[1], -48);
    EXPECT_EQ(l->posStart[2], 3);
    EXPECT_EQ(l->posCurrent[1], -46);
    EXPECT_EQ(l->posTarget[0], -45);
    EXPECT_EQ(l->posTarget[1], -44);
    EXPECT_EQ(l->posTarget[2], 7);
    EXPECT_EQ(l->frame, 8);
    EXPECT_EQ(l->color[0], 0.09f);
    EXPECT_EQ(l->color[1], 0.10f);
    EXPECT_EQ(l->color[2], 0.11f);
    EXPECT_EQ(l->life, 16);
    EXPECT_EQ(l->duration, 200);
    EXPECT_EQ(l->mode, 0);
    EXPECT_EQ(l->cutoff, 1.0f);
    // Never written by the constructor, so zero wherever the light is built.
    EXPECT_EQ(l->posCurrent[0], 0);
    EXPECT_EQ(l->posCurrent[2], 0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(l->dirTarget[k], 0);
        EXPECT_EQ(l->dirStart[k], 0);
        EXPECT_EQ(l->dirCurrent[k], 0);
    }
}

TEST_F(LampjeTest, ConstructorRangesAtTheirBoundaries) {
    ScriptRandomRepeated(0, 12);
    Lampje low;
    EXPECT_EQ(low.posStart[0], -50);
    EXPECT_EQ(low.posStart[2], 0);
    EXPECT_EQ(low.frame, 0);
    EXPECT_EQ(low.color[0], 0.0f);
    EXPECT_EQ(low.life, 4);

    ScriptRandomRepeated(32767, 12); // 32767 % 100 = 67, 32767 % 120 = 7
    Lampje high;
    EXPECT_EQ(high.posStart[0], 17);
    EXPECT_EQ(high.posTarget[2], 67);
    EXPECT_EQ(high.frame, 67);
    EXPECT_EQ(high.color[2], 0.67f);
    EXPECT_EQ(high.life, 11);

    ScriptRandom({99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 119});
    Lampje top;
    EXPECT_EQ(top.posStart[1], 49);
    EXPECT_EQ(top.posStart[2], 99);
    EXPECT_EQ(top.frame, 99);
    EXPECT_EQ(top.color[0], 0.99f);
    EXPECT_EQ(top.life, 123);
}

TEST_F(LampjeTest, FirstStepResetsLifeAtOnceAndKeepsTheConstructorsColour) {
    ScriptRandom({10, 20, 30, 40, 60, 70, 80, 99, 25, 50, 75, 0});
    Lampje l;
    ASSERT_EQ(l.life, 4);
    RandDrawCounter draws;
    ScriptRandom({0, 399}); // decrement to 3, then life := 399 % 400 + 4010
    l.CalcLampje(kNoLight);
    EXPECT_EQ(draws.Draws(), 2u);
    EXPECT_EQ(l.life, 4409);
    EXPECT_EQ(l.mode, 0);
    EXPECT_EQ(l.cutoff, 1.0f);
    EXPECT_EQ(l.color[0], 0.25f);
    EXPECT_EQ(l.color[1], 0.50f);
    EXPECT_EQ(l.color[2], 0.75f);
    EXPECT_EQ(l.frame, 100);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(l.dirCurrent[k], 0);
    }
    EXPECT_EQ(l.posCurrent[0], GlideAt(-40, 10, 200, 100));
    EXPECT_EQ(l.posCurrent[1], GlideAt(-30, 20, 200, 100));
    EXPECT_EQ(l.posCurrent[2], GlideAt(30, 80, 200, 100));

    // From the second frame on the light is igniting in grey.
    ScriptRandom({1});
    l.CalcLampje(kNoLight);
    ExpectGrey(l, 0.6f);
    EXPECT_EQ(l.cutoff, 1.0f + 0.2f);
}

TEST_F(LampjeTest, RetargetDrawsXZYForPositionThenDirectionThenTheLength) {
    Lampje l = AtLife(3000, 1, 30); // steady: the life test is the only other draw
    l.frame = 200;
    l.posTarget[0] = 1;
    l.posTarget[1] = 2;
    l.posTarget[2] = 3;
    l.dirTarget[0] = 4;
    l.dirTarget[1] = 5;
    l.dirTarget[2] = 6;
    RandDrawCounter draws;
    ScriptRandom({0, 999, 32767, 1500, 501, 10, 1499, 1});
    l.CalcLampje(kNoLight);
    EXPECT_EQ(draws.Draws(), 8u);
    EXPECT_EQ(l.frame, 0);
    EXPECT_EQ(l.duration, 2499);
    const float posStart[3] = {1, 2, 3}, dirStart[3] = {4, 5, 6};
    const float posTarget[3] = {-500, 267, 499}, dirTarget[3] = {0, -490, 1};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(l.posStart[k], posStart[k]);
        EXPECT_EQ(l.dirStart[k], dirStart[k]);
        EXPECT_EQ(l.posTarget[k], posTarget[k]) << k;
        EXPECT_EQ(l.dirTarget[k], dirTarget[k]) << k;
        // Frame 0 shows the start of the new segment.
        EXPECT_EQ(l.posCurrent[k], posStart[k]);
        EXPECT_EQ(l.dirCurrent[k], dirStart[k]);
    }
    // Lengths wrap at 1500: r = 0 and r = 1500 both give the shortest segment.
    for (int r : {0, 1500}) {
        l.frame = l.duration - 1;
        ScriptRandom({1});
        l.CalcLampje(kNoLight); // reaches the end point: no retarget yet
        EXPECT_EQ(l.frame, l.duration);
        ScriptRandom({0, 0, 0, 0, 0, 0, r, 1});
        l.CalcLampje(kNoLight);
        EXPECT_EQ(l.duration, 1000);
    }
}

TEST_F(LampjeTest, WholeLifeCycleWithTheDrawsOfEachStep) {
    // Decrement on every frame (life draw 0), from late in Ignite through one full cycle.
    Lampje l = AtLife(4013, 0, 35.5f);
    float fadeStartColor[3] = {};
    for (int step = 0; step < 2100; ++step) {
        const int before = l.life;
        const float cutoffBefore = l.cutoff;
        const float colorBefore[3] = {l.color[0], l.color[1], l.color[2]};
        int expectedDraws = 1;
        ScriptRandom({0});
        const int after = before - 1;
        if (after > 4000 && after < 4010) {
            ScriptRandom({after - 4000}); // flicker cutoff
            expectedDraws += 1;
        } else if (after == 4000) {
            ScriptRandom({60, 70, 80, 29}); // colour, then cutoff 49
            expectedDraws += 4;
        } else if (after == 1999) {
            ScriptRandom({5}); // new life 4015
            expectedDraws += 1;
        }
        RandDrawCounter draws;
        l.CalcLampje(kNoLight);
        ASSERT_EQ(draws.Draws(), static_cast<uint64_t>(expectedDraws)) << "life " << after;

        if (after >= 4010) {
            ASSERT_EQ(l.mode, 0);
            ExpectGrey(l, 0.6f);
            ASSERT_EQ(l.cutoff, cutoffBefore + 0.2f >= 36 ? 36.0f : cutoffBefore + 0.2f);
        } else if (after > 4000) {
            ASSERT_EQ(l.mode, 0);
            ExpectGrey(l, 0.4f);
            ASSERT_EQ(l.cutoff, static_cast<float>(after - 4000 + 1));
        } else if (after == 4000) {
            ASSERT_EQ(l.mode, 1);
            EXPECT_EQ(l.color[0], 0.6f);
            EXPECT_EQ(l.color[1], 0.7f);
            EXPECT_EQ(l.color[2], 0.8f);
            EXPECT_EQ(l.cutoff, 49.0f);
        } else if (after >= 2200) {
            ASSERT_EQ(l.mode, 1) << after;
            ASSERT_EQ(l.cutoff, 49.0f);
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(l.color[k], colorBefore[k]);
                fadeStartColor[k] = l.color[k];
            }
        } else if (after >= 2000) {
            ASSERT_EQ(l.mode, 2);
            ASSERT_EQ(l.cutoff, cutoffBefore - 0.2f <= 1 ? 1.0f : cutoffBefore - 0.2f);
            for (int k = 0; k < 3; ++k) {
                ASSERT_EQ(l.color[k], colorBefore[k] / 1.01f);
            }
        } else {
            // Reset: ignites again, the faded colour still shown this frame.
            EXPECT_EQ(l.life, 4015);
            EXPECT_EQ(l.mode, 0);
            EXPECT_EQ(l.cutoff, 1.0f);
            for (int k = 0; k < 3; ++k) {
                EXPECT_EQ(l.color[k], colorBefore[k]);
                EXPECT_LT(l.color[k], fadeStartColor[k] * 0.2f) << "200 fade frames shrink it";
            }
            EXPECT_EQ(step, 2013);
            break;
        }
        ASSERT_EQ(l.life, after);
    }
    EXPECT_EQ(l.life, 4015);
    // The frame after the reset is grey again.
    ScriptRandom({1});
    l.CalcLampje(kNoLight);
    ExpectGrey(l, 0.6f);
    EXPECT_EQ(l.cutoff, 1.2f);
}

TEST_F(LampjeTest, IgniteCutoffStopsAtExactly36AndFadeAtExactly1) {
    Lampje ignite = AtLife(4300, 0, 1.0f);
    for (int i = 0; i < 200; ++i) {
        ScriptRandom({1});
        ignite.CalcLampje(kNoLight);
        ASSERT_LE(ignite.cutoff, 36.0f);
    }
    EXPECT_EQ(ignite.cutoff, 36.0f);
    EXPECT_EQ(ignite.life, 4300);

    Lampje fade = AtLife(2100, 2, 49.0f);
    fade.color[0] = 1.0f;
    for (int i = 0; i < 300; ++i) {
        ScriptRandom({1});
        fade.CalcLampje(kNoLight);
        ASSERT_GE(fade.cutoff, 1.0f);
    }
    EXPECT_EQ(fade.cutoff, 1.0f);
    EXPECT_GT(fade.color[0], 0.0f);
    EXPECT_LT(fade.color[0], 0.06f); // 1 / 1.01^300
}

TEST_F(LampjeTest, ColourPickRepeatsWhileLifeStaysAt4000AndTheLastStays) {
    Lampje l = AtLife(4000, 1, 30);
    ScriptRandom({1, 10, 20, 30, 0, 1, 40, 50, 60, 5, 1, 70, 80, 90, 29});
    for (int i = 0; i < 3; ++i) {
        l.CalcLampje(kNoLight);
    }
    EXPECT_EQ(l.color[0], 0.7f);
    EXPECT_EQ(l.color[1], 0.8f);
    EXPECT_EQ(l.color[2], 0.9f);
    EXPECT_EQ(l.cutoff, 49.0f);
    ScriptRandom({0}); // down to 3999: Steady keeps the last pick
    l.CalcLampje(kNoLight);
    EXPECT_EQ(l.mode, 1);
    EXPECT_EQ(l.color[0], 0.7f);
    EXPECT_EQ(l.cutoff, 49.0f);
}

TEST_F(LampjeTest, DarkPickIsRedrawnOnceOnly) {
    {
        // All below 0.2: one more set, which stays although it is dark too.
        Lampje l = AtLife(4000, 1, 30);
        RandDrawCounter draws;
        ScriptRandom({1, 119, 5, 0, 3, 2, 1, 0});
        l.CalcLampje(kNoLight);
        EXPECT_EQ(draws.Draws(), 8u);
        EXPECT_EQ(l.color[0], 0.03f);
        EXPECT_EQ(l.color[1], 0.02f);
        EXPECT_EQ(l.color[2], 0.01f);
        EXPECT_EQ(l.cutoff, 20.0f);
    }
    // One component at exactly 0.2 (or brighter) keeps the first pick.
    const int firstPicks[][3] = {{20, 0, 0}, {0, 20, 0}, {0, 0, 20}, {19, 19, 99}};
    for (const auto& pick : firstPicks) {
        Lampje l = AtLife(4000, 1, 30);
        RandDrawCounter draws;
        ScriptRandom({1, pick[0], pick[1], pick[2], 7});
        l.CalcLampje(kNoLight);
        EXPECT_EQ(draws.Draws(), 5u);
        EXPECT_EQ(l.color[0], static_cast<float>(pick[0]) / 100.0f);
        EXPECT_EQ(l.color[2], static_cast<float>(pick[2]) / 100.0f);
        EXPECT_EQ(l.cutoff, 27.0f);
    }
}

TEST_F(LampjeTest, FlickerCutoffRangeAndTheIgniteStepBeforeIt) {
    for (int r : {0, 19, 20, 32767}) {
        Lampje l = AtLife(4005, 0, 10);
        ScriptRandom({1, r});
        l.CalcLampje(kNoLight);
        EXPECT_EQ(l.cutoff, static_cast<float>(r % 20 + 1));
        ExpectGrey(l, 0.4f);
    }
    // Reset draws: 0 and 399 give the two ends of the new life.
    for (int r : {0, 399, 400}) {
        Lampje l = AtLife(2000, 2, 5);
        ScriptRandom({0, r});
        l.CalcLampje(kNoLight);
        EXPECT_EQ(l.life, r % 400 + 4010);
    }
}

} // namespace
