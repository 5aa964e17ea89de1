// A moving spot light: glides between random positions and directions and runs an endless
// ignite, flicker, colour pick, steady and fade cycle.
#pragma once

#include <cstdint>

class Lampje {
  public:
    Lampje();
    ~Lampje() {}

    // Advances the light by one frame and hands its parameters to GL_LIGHT0 + index. Any index
    // outside 0..3 advances the light the same way but leaves OpenGL alone.
    void CalcLampje(int index);
    // The two halves of CalcLampje: the step alone, which draws from the random source and makes
    // no OpenGL call, and the hand-over of the current position, direction, cone and colour to
    // GL_LIGHT0 + index (nothing for an index outside 0..3), which steps nothing.
    void StepLampje();
    void SendLampje(int index) const;

    float posTarget[3] = {};
    float posStart[3] = {};
    float posCurrent[3] = {};
    float dirTarget[3] = {};
    float dirStart[3] = {};
    float dirCurrent[3] = {}; // not normalised
    float color[3] = {};      // specular colour, 0..1
    int32_t frame = 0;        // frames since the last motion retarget
    int32_t duration = 0;     // length of the current motion segment
    int32_t life = 0;         // its value selects the phase of the life cycle
    int32_t mode = 0;         // 0 ignite, 1 steady, 2 fade
    float cutoff = 0.0f;      // spot cutoff in degrees, 1..49
};
