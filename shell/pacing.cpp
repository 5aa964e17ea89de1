#include "shell/pacing.h"

#include <cstdio>

uint32_t StepPacer::StepsFor(uint32_t tickCount) {
    if (stepsPerSecond_ == 0) {
        return 1;
    }
    if (!started_) {
        started_ = true;
        lastTick_ = tickCount;
        return 1;
    }
    // Unsigned subtraction: a wrap of the tick counter still gives the true difference.
    owed_ += static_cast<uint64_t>(tickCount - lastTick_) * stepsPerSecond_;
    lastTick_ = tickCount;
    uint64_t due = owed_ / 1000;
    owed_ %= 1000;
    if (due > MaxCatchUp()) {
        due = MaxCatchUp();
    }
    return static_cast<uint32_t>(due);
}

uint32_t FrameLimiter::WaitAfterFrame(uint32_t tickCount) {
    if (framesPerSecond_ == 0) {
        return 0;
    }
    if (!started_) {
        started_ = true;
        firstTick_ = tickCount;
        frames_ = 0;
    }
    ++frames_;
    const uint64_t elapsed = tickCount - firstTick_;
    const uint64_t nextStart = frames_ * 1000 / framesPerSecond_;
    if (nextStart > elapsed) {
        return static_cast<uint32_t>(nextStart - elapsed);
    }
    // Late: start counting afresh from now instead of rushing the frames that follow.
    if (elapsed - nextStart > 1000 / framesPerSecond_) {
        firstTick_ = tickCount;
        frames_ = 0;
    }
    return 0;
}

bool RateReport::FrameEnded(uint32_t tickCount, uint32_t steps, char* line, int lineSize) {
    // The first frame only starts the clock: its own start is unknown.
    if (!started_) {
        started_ = true;
        intervalStart_ = tickCount;
        return false;
    }
    ++frames_;
    steps_ += steps;
    const uint32_t elapsed = tickCount - intervalStart_;
    if (elapsed < intervalMs_) {
        return false;
    }
    const double seconds = elapsed / 1000.0;
    framesPerSecond_ = frames_ / seconds;
    stepsPerSecond_ = static_cast<double>(steps_) / seconds;
    std::snprintf(line, static_cast<size_t>(lineSize),
                  "zorvik: %.1f frames/s, %.1f steps/s, mean frame %.1f ms", framesPerSecond_,
                  stepsPerSecond_, static_cast<double>(elapsed) / frames_);
    intervalStart_ = tickCount;
    frames_ = 0;
    steps_ = 0;
    return true;
}
