#include "scene/camera.h"

#include "scene/random.h"

namespace {

// Axis numbers pick x, z, y in that order.
constexpr int kAxisIndex[3] = {0, 2, 1};

// Position at `frame` of a segment lasting `duration` frames. The order of operations is part of
// the animation's exact path, so it is kept as written.
void Glide(const float start[3], const float target[3], int32_t frame, int32_t duration,
           float current[3]) {
    for (int k = 0; k < 3; ++k) {
        current[k] =
            ((target[k] - start[k]) / static_cast<float>(duration)) * static_cast<float>(frame) +
            start[k];
    }
}

} // namespace

// Frame counters start above their durations, so the very first step retargets both points and
// the first view runs from (0, 80, 300) towards the origin.
Camera::Camera() {
    eyeTarget[0] = 0.0f;
    eyeTarget[1] = 80.0f;
    eyeTarget[2] = 300.0f;
    eyeStart[0] = 0.0f;
    eyeStart[1] = 50.0f;
    eyeStart[2] = 100.0f;
    eyeCurrent[0] = 10.01f;
    eyeCurrent[1] = 10.01f;
    eyeCurrent[2] = 200.01f;
    eyeFrame = 20;
    eyeDuration = 2;
    lookFrame = 20;
    lookDuration = 2;
}

void Camera::CalcCamera() {
    ++eyeFrame;
    if (eyeFrame > eyeDuration) {
        for (int k = 0; k < 3; ++k) {
            eyeStart[k] = eyeTarget[k];
        }
        axisChoice = Rand() % 3;
        const int r = Rand();
        if (axisChoice == 1) {
            eyeTarget[2] = static_cast<float>(r % 20000 + 20);
        } else {
            // r never reaches 40000, so the range is -10000..6383.5 rather than symmetric.
            eyeTarget[kAxisIndex[axisChoice]] = static_cast<float>(r % 40000 - 20000) / 2.0f;
        }
        eyeFrame = 0;
        eyeDuration = Rand() % 960 + 560;
    }
    Glide(eyeStart, eyeTarget, eyeFrame, eyeDuration, eyeCurrent);

    ++lookFrame;
    if (lookFrame > lookDuration) {
        for (int k = 0; k < 3; ++k) {
            lookStart[k] = lookTarget[k];
        }
        ++lookAxis;
        if (lookAxis > 2) {
            lookAxis = 0;
        }
        axisChoice = lookAxis;
        lookTarget[kAxisIndex[axisChoice]] = static_cast<float>((Rand() % 22000 - 12000) * 10);
        lookFrame = 0;
        lookDuration = Rand() % 760 + 380;
    }
    Glide(lookStart, lookTarget, lookFrame, lookDuration, lookCurrent);
}
