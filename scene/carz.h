// A static box of the city: a beam along x or y hanging in the air, or a tower standing on the
// ground. Its world-space corners are computed once, so drawing it needs no matrix work.
#pragma once

#include <cstdint>

class Carz {
  public:
    Carz();
    // The corner array lives as long as the process, like the boxes themselves.
    ~Carz() {}

    // Fills `corners` from the unit cube and the box's fields; the same result on every call.
    void SetupCarz();
    // Boxes never change from frame to frame.
    void CalcCarz() {}
    // Six lit quads from `corners`; ends with blending disabled whatever the box's flag.
    void DrawCarz();

    float x = 0.0f; // reference point: a cell centre plus jitter
    float y = 0.0f;
    float z = 0.0f; // height of a beam's centre; towers ignore it
    float scale = 0.0f;
    float constHalf = 0.0f; // kept for its value alone; nothing reads it
    float stretch = 0.0f;   // factor along the box's long axis
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t shape = 0;        // 0 beam along x, 1 beam along y, 2 tower
    int32_t translucent = 0;  // non-zero: drawn with blending
    float* corners = nullptr; // 8 corners (x, y, z) in the order of cc_points
};
