// The steady pace, the frame limit and the rate report, on a scripted millisecond clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/pacing.h"

namespace {

// Frames at a steady `framesPerSecond` for `seconds`, starting at `startTick`: the steps of each.
std::vector<uint32_t> StepsPerFrame(uint32_t pace, double framesPerSecond, int seconds,
                                    uint32_t startTick = 0) {
    StepPacer pacer(pace);
    std::vector<uint32_t> steps;
    const int frames = static_cast<int>(framesPerSecond * seconds);
    for (int i = 0; i <= frames; ++i) {
        const auto tick = startTick + static_cast<uint32_t>(i * 1000.0 / framesPerSecond);
        steps.push_back(pacer.StepsFor(tick));
    }
    return steps;
}

uint64_t Sum(const std::vector<uint32_t>& values) {
    uint64_t sum = 0;
    for (uint32_t v : values) {
        sum += v;
    }
    return sum;
}

} // namespace

TEST(StepPacer, WithoutAPaceEveryFrameIsOneStep) {
    StepPacer pacer(0);
    for (uint32_t tick : {0u, 1u, 5000u, 5000u, 4000000000u}) {
        EXPECT_EQ(pacer.StepsFor(tick), 1u);
    }
}

TEST(StepPacer, SixtyStepsASecondAtAnyFrameRate) {
    const struct {
        double fps;
        uint32_t least, most; // steps in one frame
    } rates[] = {{9, 6, 7}, {60, 0, 2}, {500, 0, 1}};
    for (const auto& rate : rates) {
        const std::vector<uint32_t> steps = StepsPerFrame(60, rate.fps, 10);
        EXPECT_EQ(steps.front(), 1u) << "the first frame is one step, as unpaced";
        // 10 s at 60 steps a second, and the first frame's step.
        EXPECT_NEAR(static_cast<double>(Sum(steps)), 601.0, 1.0) << rate.fps << " frames/s";
        for (size_t i = 1; i < steps.size(); ++i) {
            EXPECT_GE(steps[i], rate.least) << rate.fps << " frames/s, frame " << i;
            EXPECT_LE(steps[i], rate.most) << rate.fps << " frames/s, frame " << i;
        }
    }
    // At 500 frames a second most frames show the same step again.
    const std::vector<uint32_t> fast = StepsPerFrame(60, 500, 10);
    EXPECT_GT(std::count(fast.begin(), fast.end(), 0u), 4000);
}

TEST(StepPacer, APauseIsCaughtUpByAtMostOneSecond) {
    StepPacer pacer(60);
    EXPECT_EQ(pacer.MaxCatchUp(), 60u);
    EXPECT_EQ(pacer.StepsFor(1000), 1u);
    EXPECT_EQ(pacer.StepsFor(1100), 6u);
    // Minimised for an hour: one second's worth of steps, not 216000.
    EXPECT_EQ(pacer.StepsFor(1100 + 3600 * 1000), 60u);
    // And then the ordinary pace again, with no backlog left.
    EXPECT_EQ(pacer.StepsFor(1100 + 3600 * 1000 + 50), 3u);
    EXPECT_EQ(pacer.StepsFor(1100 + 3600 * 1000 + 100), 3u);
}

TEST(StepPacer, KeepsThePaceAcrossTheTickCounterWrapping) {
    const std::vector<uint32_t> steps = StepsPerFrame(60, 9, 10, 0xFFFFFFFFu - 4000);
    EXPECT_NEAR(static_cast<double>(Sum(steps)), 601.0, 1.0);
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_LE(steps[i], 7u) << i;
    }
}

TEST(StepPacer, FractionsOfAStepAreKeptNotLost) {
    // 7 steps a second over frames 1 ms apart: each frame owes 0.007 of a step.
    StepPacer pacer(7);
    uint64_t total = pacer.StepsFor(0);
    for (uint32_t tick = 1; tick <= 10000; ++tick) {
        total += pacer.StepsFor(tick);
    }
    EXPECT_EQ(total, 71u);
}

TEST(FrameLimiter, SpreadsFramesToTheLimit) {
    FrameLimiter none(0);
    EXPECT_EQ(none.WaitAfterFrame(0), 0u);
    EXPECT_EQ(none.WaitAfterFrame(1), 0u);

    // Frames that take 5 ms, limited to 30 a second: the loop waits the rest of each 33.3 ms.
    FrameLimiter limiter(30);
    uint32_t tick = 0;
    int frames = 0;
    while (tick < 10000) {
        tick += 5; // the frame's own work
        tick += limiter.WaitAfterFrame(tick);
        ++frames;
    }
    EXPECT_NEAR(frames, 300, 2);
}

TEST(FrameLimiter, ALateFrameDoesNotMakeTheNextOnesRush) {
    FrameLimiter limiter(10);
    EXPECT_EQ(limiter.WaitAfterFrame(0), 100u);
    EXPECT_EQ(limiter.WaitAfterFrame(100), 100u);
    // One frame took two seconds.
    EXPECT_EQ(limiter.WaitAfterFrame(2200), 0u);
    // The next frames are spaced again, not run back to back to make up the lost ones.
    EXPECT_EQ(limiter.WaitAfterFrame(2210), 90u);
    EXPECT_EQ(limiter.WaitAfterFrame(2300), 100u);
}

TEST(RateReport, OneLinePerIntervalWithFramesStepsAndFrameTime) {
    RateReport report;
    char line[160] = "";
    EXPECT_FALSE(report.FrameEnded(0, 1, line, sizeof line));
    // 100 ms frames of 6 steps each.
    uint32_t tick = 0;
    int lines = 0;
    std::string last;
    for (int frame = 0; frame < 61; ++frame) {
        tick += 100;
        if (report.FrameEnded(tick, 6, line, sizeof line)) {
            ++lines;
            last = line;
        }
    }
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(last, "zorvik: 10.0 frames/s, 60.0 steps/s, mean frame 100.0 ms");
}
