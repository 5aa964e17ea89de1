// Helpers shared by the tests of the scene's object classes.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "tests/support/scripted_random.h"

// Starts every test with an empty script, and fails a test that left scripted values undrawn:
// a leftover value means the code under test drew fewer numbers than the test expected.
class ScriptedTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearRandomScript(); }
    void TearDown() override {
        EXPECT_EQ(ScriptedRandomRemaining(), 0) << "scripted values left undrawn";
        ClearRandomScript();
    }
};

// Constructs a T in memory first filled with a non-zero pattern, the way an object on the stack or
// the heap may find it, so tests can see that fields the constructor skips still start at zero.
template <typename T> class OnDirtyMemory {
  public:
    OnDirtyMemory() {
        std::memset(storage_, 0xA7, sizeof storage_);
        object_ = new (storage_) T();
    }
    ~OnDirtyMemory() { object_->~T(); }
    OnDirtyMemory(const OnDirtyMemory&) = delete;
    OnDirtyMemory& operator=(const OnDirtyMemory&) = delete;
    T& operator*() { return *object_; }
    T* operator->() { return object_; }

  private:
    alignas(T) unsigned char storage_[sizeof(T)];
    T* object_;
};

inline bool Finite3(const float v[3]) {
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// The glide every waypoint follows, written out independently of the classes.
inline float GlideAt(float start, float target, int duration, int frame) {
    return ((target - start) / static_cast<float>(duration)) * static_cast<float>(frame) + start;
}
