// A glowing patch on the ground, placed and sized once.
#pragma once

#include <cstdint>

class Floor {
  public:
    Floor();
    ~Floor() {}

    // Tiles never change; the frame does not call this.
    void CalcFloor() {}
    // The textured quad at height z + 500, scaled around (x, y).
    void DrawFloor();

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f; // the quad lies at z + 500
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
};
