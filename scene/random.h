// The process-wide pseudo-random source that places and steers every object of the scene.
//
// One shared state, results 0..32767, a fixed default state before the first seeding. The
// recurrence is the classic linear congruential one of the C runtime on the program's original
// platform, so the initial layout of the city is the same with every compiler and on every
// platform.
#pragma once

#include <cstdint>

constexpr int kRandMax = 32767;
constexpr uint32_t kRandDefaultState = 1;

// One step of the generator: advances `state` and returns the next result.
inline int RandStep(uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

// Next result, 0..32767; advances the shared state.
int Rand();
// Resets the shared state to `seed`.
void Srand(uint32_t seed);
// Number of results drawn since the process started. Tests and tools use it to see how many
// draws an operation takes; nothing in the animation reads it.
uint64_t RandDrawCount();
// The shared state as it stands; Srand with this value later resumes the sequence from here.
uint32_t RandState();
