#include "scene/moverz.h"

#include "common/gl.h"
#include "scene/cube_draw.h"
#include "scene/random.h"
#include "scene/world.h"

namespace {

// New heading by old heading and turn. Straight on is turn 0 on an x heading and turn 2 on a y
// heading; no entry reverses.
constexpr int32_t kTurns[4][3] = {{0, 2, 3}, {1, 2, 3}, {0, 1, 2}, {0, 1, 3}};

} // namespace

Moverz::Moverz() {
    x = 0.0f;
    y = 0.0f;
    z = 100.0f;
    scaleX = static_cast<float>(Rand() % 100) / 50.0f + 3.0f;
    scaleY = scaleX;
    scaleZ = static_cast<float>(Rand() % 100) / 30.0f + 3.0f;
    red = Rand() % 255;
    green = Rand() % 255;
    blue = Rand() % 255;
    turn = 0;
    travelled = 0.0f;
    heading = Rand() % 3;
    speed = static_cast<float>(Rand() % 200) / 20.0f + 15.0f;
    laneOffset = speed * 5.0f;
    laneX = 0.0f;
    laneY = 0.0f;
}

void Moverz::CalcMoverz() {
    if (heading < 0 || heading > 3) {
        return;
    }
    float& p = heading < 2 ? x : y;
    const bool forward = heading == 0 || heading == 2;

    // Leaving the world at one edge re-enters it exactly at the other; the overshoot is dropped.
    if (forward) {
        p += speed;
        if (p > worldsize) {
            p = -worldsize;
            travelled = 0.0f;
        }
    } else {
        p -= speed;
        if (p < -worldsize) {
            p = worldsize;
            travelled = 0.0f;
        }
    }
    travelled += speed;

    if (travelled > blocksize) {
        // Back onto the corner itself, so that errors do not pile up from block to block.
        const float overshoot = travelled - blocksize;
        if (forward) {
            p -= overshoot;
        } else {
            p += overshoot;
        }
        turn = Rand() % 3;
        travelled = 0.0f;
        heading = kTurns[heading][turn];
        // The right-hand side of the direction of travel, with z up.
        switch (heading) {
        case 0:
            laneX = 0.0f;
            laneY = -laneOffset;
            break;
        case 1:
            laneX = 0.0f;
            laneY = laneOffset;
            break;
        case 2:
            laneX = laneOffset;
            laneY = 0.0f;
            break;
        default:
            laneX = -laneOffset;
            laneY = 0.0f;
            break;
        }
    }
}

void Moverz::DrawMoverz() {
    glPushMatrix();
    // Unscaled on purpose: lighting without colour tracking ignores the current colour anyway.
    glColor3f(static_cast<GLfloat>(red), static_cast<GLfloat>(green), static_cast<GLfloat>(blue));
    glTranslatef(x + laneX, y + laneY, z);
    glScalef(scaleX, scaleY, scaleZ);
    DrawCubeCorners(cc_points);
    glPopMatrix();
}
