// Keeping the city at the same speed on every machine, and the frame rate within bounds, from the
// millisecond tick count alone. Pure arithmetic: the main loop feeds in the ticks.
#pragma once

#include <cstdint>

// How many steps of the animation each frame runs so that the city advances `stepsPerSecond`
// steps per second of wall-clock time, whatever the frame rate: several on a slow machine, none
// on a fast one (the frame then shows the same step again). The very first frame runs one step,
// as an unpaced frame does, so that the sequence of states is the same with or without a pace.
class StepPacer {
  public:
    // 0: no pace; every frame runs exactly one step.
    explicit StepPacer(uint32_t stepsPerSecond) : stepsPerSecond_(stepsPerSecond) {}

    // The steps due for a frame starting at `tickCount` (wrapping milliseconds).
    uint32_t StepsFor(uint32_t tickCount);

    // A pause (a minimised window, a machine that stalled) is caught up by at most one second's
    // worth of steps in one frame; the rest of it is let go, so the city never races through
    // thousands of steps at once.
    uint32_t MaxCatchUp() const { return stepsPerSecond_; }

  private:
    uint32_t stepsPerSecond_;
    bool started_ = false;
    uint32_t lastTick_ = 0;
    uint64_t owed_ = 0; // step-milliseconds not yet turned into steps (steps x 1000)
};

// Keeps frames at most `framesPerSecond` a second: after each frame, how long to wait before the
// next may start. Frames are spread evenly; a frame that comes late does not make the next ones
// rush to catch up.
class FrameLimiter {
  public:
    // 0: no limit.
    explicit FrameLimiter(uint32_t framesPerSecond) : framesPerSecond_(framesPerSecond) {}

    // Milliseconds to wait after a frame that ended at `tickCount`, counted from the start of the
    // first frame the limiter saw.
    uint32_t WaitAfterFrame(uint32_t tickCount);

  private:
    uint32_t framesPerSecond_;
    bool started_ = false;
    uint32_t firstTick_ = 0;
    uint64_t frames_ = 0;
};

// The --stats line: frames and steps per second and the mean frame time, once per interval.
class RateReport {
  public:
    static constexpr uint32_t kIntervalMs = 3000;
    explicit RateReport(uint32_t intervalMs = kIntervalMs) : intervalMs_(intervalMs) {}

    // Counts a frame that ran `steps` steps and ended at `tickCount`. True when an interval is
    // complete; the line is then in `line`.
    bool FrameEnded(uint32_t tickCount, uint32_t steps, char* line, int lineSize);

    // The rates of the last complete interval; 0 before the first.
    double FramesPerSecond() const { return framesPerSecond_; }
    double StepsPerSecond() const { return stepsPerSecond_; }

  private:
    uint32_t intervalMs_;
    bool started_ = false;
    uint32_t intervalStart_ = 0;
    uint32_t frames_ = 0;
    uint64_t steps_ = 0;
    double framesPerSecond_ = 0;
    double stepsPerSecond_ = 0;
};
