#include "tests/support/scripted_random.h"

#include <deque>
#include <stdexcept>

namespace {
uint32_t g_state = kRandDefaultState;
uint64_t g_draws = 0;

std::deque<int>& Script() {
    static std::deque<int> script;
    return script;
}
} // namespace

int Rand() {
    ++g_draws;
    if (!Script().empty()) {
        const int value = Script().front();
        Script().pop_front();
        return value;
    }
    return RandStep(g_state);
}

void Srand(uint32_t seed) {
    g_state = seed;
}

uint64_t RandDrawCount() {
    return g_draws;
}

void ScriptRandom(std::initializer_list<int> values) {
    for (int v : values) {
        if (v < 0 || v > kRandMax) {
            throw std::out_of_range("scripted random value outside 0..32767");
        }
        Script().push_back(v);
    }
}

void ScriptRandomRepeated(int value, int count) {
    for (int i = 0; i < count; ++i) {
        ScriptRandom({value});
    }
}

void ClearRandomScript() {
    Script().clear();
}

int ScriptedRandomRemaining() {
    return static_cast<int>(Script().size());
}

uint32_t RandState() {
    return g_state;
}
