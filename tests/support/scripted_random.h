// A stand-in for the scene's random source, linked into tests in place of the real one. It hands
// out scripted values first and then carries on with the real recurrence, and counts every draw.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "scene/random.h"

// Queues values for the next draws (each 0..32767), after any still queued.
void ScriptRandom(std::initializer_list<int> values);
// Queues `count` copies of `value`.
void ScriptRandomRepeated(int value, int count);
// Drops whatever is still queued.
void ClearRandomScript();
// Scripted values not yet drawn.
int ScriptedRandomRemaining();

// Counts the draws made while it is alive.
class RandDrawCounter {
  public:
    RandDrawCounter() : start_(RandDrawCount()) {}
    uint64_t Draws() const { return RandDrawCount() - start_; }

  private:
    uint64_t start_;
};
