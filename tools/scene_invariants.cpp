#include "tools/scene_invariants.h"

#include <cmath>

#include "scene/scene.h"

namespace {

bool In(float v, float low, float high) {
    return std::isfinite(v) && v >= low && v <= high;
}
bool In(int v, int low, int high) {
    return v >= low && v <= high;
}

// The point gliding from start to target lies between them, up to float rounding.
bool OnSegment(const float current[3], const float start[3], const float target[3]) {
    for (int k = 0; k < 3; ++k) {
        const float low = std::fmin(start[k], target[k]), high = std::fmax(start[k], target[k]);
        const float slack = 1e-3f * std::fmax(1.0f, std::fmax(std::fabs(low), std::fabs(high)));
        if (!In(current[k], low - slack, high + slack)) {
            return false;
        }
    }
    return true;
}

std::string Where(const char* array, int index, const char* what) {
    return std::string(array) + "[" + std::to_string(index) + "]: " + what;
}

} // namespace

bool CheckSceneInvariants(std::string* problem) {
    const Camera& c = Zenith[0];
    if (!In(c.eyeFrame, 0, c.eyeDuration) || !In(c.lookFrame, 0, c.lookDuration) ||
        c.eyeDuration < 2 || c.lookDuration < 2) {
        *problem = Where("Zenith", 0, "frame counter outside its segment");
        return false;
    }
    if (!OnSegment(c.eyeCurrent, c.eyeStart, c.eyeTarget) ||
        !OnSegment(c.lookCurrent, c.lookStart, c.lookTarget) ||
        !In(c.eyeTarget[2], 20.0f, 20019.0f) || !In(c.lookAxis, 0, 2)) {
        *problem = Where("Zenith", 0, "eye or look-at point off its range");
        return false;
    }
    for (int i = 0; i < kLights; ++i) {
        const Lampje& l = licht[i];
        bool ok = In(l.cutoff, 1.0f, 49.0f) && In(l.mode, 0, 2) && In(l.life, 2000, 4409) &&
                  In(l.frame, 0, l.duration) && OnSegment(l.posCurrent, l.posStart, l.posTarget) &&
                  OnSegment(l.dirCurrent, l.dirStart, l.dirTarget);
        for (int k = 0; k < 3; ++k) {
            ok = ok && In(l.color[k], 0.0f, 0.99f) && In(l.posTarget[k], -500.0f, 499.0f);
        }
        if (!ok) {
            *problem = Where("licht", i, "state outside its ranges");
            return false;
        }
    }
    for (int i = 0; i < kClouds; ++i) {
        if (!In(cloudz[i].x, -140000.0f, 140000.0f)) {
            *problem = Where("cloudz", i, "x outside -140000..140000");
            return false;
        }
    }
    for (int i = 0; i < kMovers; ++i) {
        const Moverz& m = mover[i];
        if (!In(m.x, -70000.0f, 70000.0f) || !In(m.y, -70000.0f, 70000.0f) ||
            !In(m.travelled, 0.0f, 4000.0f) || !In(m.heading, 0, 3) || !In(m.turn, 0, 2) ||
            m.z != 100.0f) {
            *problem = Where("mover", i, "off the grid");
            return false;
        }
        const float o = m.laneOffset;
        const bool onLane = (m.laneX == 0.0f && m.laneY == 0.0f) ||
                            (m.heading == 0 && m.laneX == 0.0f && m.laneY == -o) ||
                            (m.heading == 1 && m.laneX == 0.0f && m.laneY == o) ||
                            (m.heading == 2 && m.laneX == o && m.laneY == 0.0f) ||
                            (m.heading == 3 && m.laneX == -o && m.laneY == 0.0f);
        if (!onLane) {
            *problem = Where("mover", i, "not on the lane of its heading");
            return false;
        }
    }
    for (int i = 0; i < kBoxes; ++i) {
        for (int k = 0; k < 24; ++k) {
            if (!std::isfinite(kar[i].corners[k])) {
                *problem = Where("kar", i, "corner not finite");
                return false;
            }
        }
    }
    return true;
}
