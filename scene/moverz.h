// A box of the traffic: drives along the block grid, turns at random at every block corner,
// wraps at the world's edge and is drawn on the right-hand lane of its direction.
#pragma once

#include <cstdint>

class Moverz {
  public:
    Moverz();
    ~Moverz() {}

    // One step of `speed` along the heading; at most one random draw, at a corner.
    void CalcMoverz();
    void DrawMoverz();

    float x = 0.0f; // the point on the path
    float y = 0.0f;
    float z = 0.0f;
    float scaleX = 0.0f;
    float scaleY = 0.0f;
    float scaleZ = 0.0f;
    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t heading = 0; // 0 +x, 1 -x, 2 +y, 3 -y
    float speed = 0.0f;
    float travelled = 0.0f; // since the last corner or wrap
    int32_t turn = 0;       // the turn drawn at the last corner
    float laneOffset = 0.0f;
    float laneX = 0.0f; // offset of the drawn box from the path
    float laneY = 0.0f;
};
