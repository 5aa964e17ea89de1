#include "scene/floor.h"

#include "common/gl.h"
#include "scene/random.h"
#include "scene/world.h"

namespace {

// Below this a tile would be too small to see.
constexpr float kMinimumScale = 10.0f;

} // namespace

Floor::Floor() {
    const int w = static_cast<int>(worldsize);
    // r never exceeds 32767, so every tile lands where x and y are both negative.
    x = static_cast<float>((Rand() % w - w / 2.0) * 2);
    y = static_cast<float>((Rand() % w - w / 2.0) * 2);
    z = (static_cast<float>(Rand() % 600) - 300.0f) / 10.0f - 500.0f;
    scaleX = (static_cast<float>(Rand() % 16000) - 8000.0f) / 20.0f;
    scaleY = (static_cast<float>(Rand() % 16000) - 8000.0f) / 20.0f;
    if (scaleX < kMinimumScale) {
        scaleX = kMinimumScale;
    }
    if (scaleY < kMinimumScale) {
        scaleY = kMinimumScale;
    }
    red = Rand() % 255;
    green = Rand() % 255;
    blue = Rand() % 255;
}

void Floor::DrawFloor() {
    glPushMatrix();
    glColor4ub(static_cast<GLubyte>(red), static_cast<GLubyte>(green), static_cast<GLubyte>(blue),
               255);
    glTranslatef(x, y, z);
    // The drawn face lies at local z = 50, so the tile ends up at z + 500.
    glScalef(scaleX, scaleY, 10.0f);
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, g_cubeVertices);
    glDrawArrays(GL_QUADS, 0, 4);
    glPopMatrix();
}
