// The camera: an eye and a look-at point that each glide between random waypoints.
#pragma once

#include <cstdint>

class Camera {
  public:
    Camera();
    ~Camera() {}

    // Advances both points by one frame; draws random numbers only when a segment ends.
    void CalcCamera();

    float eyeTarget[3] = {};
    float eyeStart[3] = {};
    float eyeCurrent[3] = {};
    float lookTarget[3] = {};
    float lookStart[3] = {};
    float lookCurrent[3] = {};
    int32_t eyeFrame = 0;
    int32_t eyeDuration = 0;
    int32_t lookFrame = 0;
    int32_t lookDuration = 0;
    int32_t axisChoice = 0; // axis of the latest retarget: 0 x, 1 z, 2 y
    int32_t lookAxis = 0;   // cycles 1, 2, 0, ... with every look-at retarget
};
