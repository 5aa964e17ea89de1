#include "scene/lampje.h"

#include "common/gl.h"
#include "scene/random.h"
#include "scene/world.h"

namespace {

void Glide(const float start[3], const float target[3], int32_t frame, int32_t duration,
           float current[3]) {
    for (int k = 0; k < 3; ++k) {
        current[k] =
            ((target[k] - start[k]) / static_cast<float>(duration)) * static_cast<float>(frame) +
            start[k];
    }
}

// Waypoints keep the lights near the middle of the world.
float RandomWaypointCoordinate() {
    return static_cast<float>(Rand() % 1000 - 500);
}

float RandomColorComponent() {
    return static_cast<float>(Rand() % 100) / 100.0f;
}

void PickColor(float color[3]) {
    color[0] = RandomColorComponent();
    color[1] = RandomColorComponent();
    color[2] = RandomColorComponent();
}

void SetGrey(float color[3], float value) {
    color[0] = color[1] = color[2] = value;
}

void SendVector(GLenum light, GLenum parameter, const float v[3]) {
    lposition[0] = v[0];
    lposition[1] = v[1];
    lposition[2] = v[2];
    lposition[3] = 1.0f;
    glLightfv(light, parameter, lposition);
}

// Life values that delimit the phases.
constexpr int32_t kFadeBelow = 2200;
constexpr int32_t kResetBelow = 2000;
constexpr int32_t kColorPick = 4000;
constexpr int32_t kIgniteFrom = 4010;

} // namespace

Lampje::Lampje() {
    duration = 200;
    posStart[0] = static_cast<float>(Rand() % 100 - 50);
    posStart[1] = static_cast<float>(Rand() % 100 - 50);
    posStart[2] = static_cast<float>(Rand() % 100);
    // Overwritten by the first step; the draw still advances the shared sequence.
    posCurrent[1] = static_cast<float>(Rand() % 100 - 50);
    posTarget[0] = static_cast<float>(Rand() % 100 - 50);
    posTarget[1] = static_cast<float>(Rand() % 100 - 50);
    posTarget[2] = static_cast<float>(Rand() % 100);
    frame = Rand() % 100;
    PickColor(color);
    life = Rand() % 120 + 4;
    mode = 0;
    cutoff = 1.0f;
}

void Lampje::CalcLampje(int index) {
    StepLampje();
    SendLampje(index);
}

void Lampje::SendLampje(int index) const {
    if (index < 0 || index > 3) {
        return;
    }
    const GLenum light = GL_LIGHT0 + static_cast<GLenum>(index);
    SendVector(light, GL_POSITION, posCurrent);
    SendVector(light, GL_SPOT_DIRECTION, dirCurrent);
    glLightf(light, GL_SPOT_CUTOFF, cutoff);
    SendVector(light, GL_SPECULAR, color);
}

void Lampje::StepLampje() {
    ++frame;
    if (frame > duration) {
        for (int k = 0; k < 3; ++k) {
            posStart[k] = posTarget[k];
            dirStart[k] = dirTarget[k];
        }
        // Drawn x, z, y: the order fixes which value lands on which axis.
        posTarget[0] = RandomWaypointCoordinate();
        posTarget[2] = RandomWaypointCoordinate();
        posTarget[1] = RandomWaypointCoordinate();
        dirTarget[0] = RandomWaypointCoordinate();
        dirTarget[2] = RandomWaypointCoordinate();
        dirTarget[1] = RandomWaypointCoordinate();
        frame = 0;
        duration = Rand() % 1500 + 1000;
    }
    Glide(posStart, posTarget, frame, duration, posCurrent);
    Glide(dirStart, dirTarget, frame, duration, dirCurrent);

    // One unit of life lasts four frames on average.
    if ((Rand() & 3) == 0) {
        --life;
    }
    if (life < kFadeBelow) {
        mode = 2;
    }
    if (life > kColorPick) {
        SetGrey(color, 0.6f);
        mode = 0;
    }
    if (mode == 0) {
        cutoff += 0.2f;
        if (cutoff >= 36.0f) {
            cutoff = 36.0f;
        }
    }
    if (life > kColorPick && life < kIgniteFrom) {
        // Flicker: a dimmer grey and a cone that jumps every frame.
        SetGrey(color, 0.4f);
        cutoff = static_cast<float>(Rand() % 20 + 1);
    }
    if (life < kResetBelow) {
        // The faded colour is still sent this frame; ignition greys it from the next one.
        life = Rand() % 400 + kIgniteFrom;
        mode = 0;
        cutoff = 1.0f;
    }
    if (life == kColorPick) {
        mode = 1;
        PickColor(color);
        // A dark pick gets one second chance, whatever that one gives.
        if (color[0] < 0.2f && color[1] < 0.2f && color[2] < 0.2f) {
            PickColor(color);
        }
        cutoff = static_cast<float>(Rand() % 30 + 20);
    }
    if (mode == 2) {
        for (float& c : color) {
            c /= 1.01f;
        }
        cutoff -= 0.2f;
        if (cutoff <= 1.0f) {
            cutoff = 1.0f;
        }
    }
}
