#include "scene/random.h"

namespace {
uint32_t g_randState = kRandDefaultState;
uint64_t g_randDraws = 0;
} // namespace

int Rand() {
    ++g_randDraws;
    return RandStep(g_randState);
}

void Srand(uint32_t seed) {
    g_randState = seed;
}

uint64_t RandDrawCount() {
    return g_randDraws;
}

uint32_t RandState() {
    return g_randState;
}
