#include "scene/carz.h"

#include "common/gl.h"
#include "scene/cube_draw.h"
#include "scene/random.h"
#include "scene/world.h"

namespace {
constexpr int kCornerFloats = 8 * 3;
} // namespace

Carz::Carz() {
    // The grid is worldsize / blocksize * 2 = 35 cells wide; cell k is centred on
    // 4000 * k - 68000.
    const float cells = worldsize / blocksize * 2.0f;
    const int column = Rand() % static_cast<int>(cells);
    const int row = Rand() % static_cast<int>(cells);
    const float half = cells / 2.0f;
    x = static_cast<float>(Rand() % 10000 - 5000) / 9.0f +
        ((static_cast<float>(column) - half) * blocksize + blocksize / 2.0f);
    y = static_cast<float>(Rand() % 10000 - 5000) / 9.0f +
        ((static_cast<float>(row) - half) * blocksize + blocksize / 2.0f);
    z = static_cast<float>(Rand() % static_cast<int>(worldsize)) / 2.0f;
    scale = static_cast<float>(Rand() % 1000) / 300.0f + 0.5f;
    constHalf = 0.5f;
    stretch = static_cast<float>(Rand() % 1450 + 70);
    red = Rand() % 255;
    green = Rand() % 255;
    blue = Rand() % 255;
    // The flag is drawn before the shape.
    translucent = Rand() % 2;
    shape = Rand() % 3;
    // Zeroed so that a box drawn before its first set-up shows nothing rather than garbage.
    corners = new float[kCornerFloats]();
}

void Carz::SetupCarz() {
    for (int i = 0; i < kCornerFloats; ++i) {
        corners[i] = cc_points[i] * scale;
    }
    switch (shape) {
    case 0:
    case 1:
        // A beam: one horizontal axis stretched, then moved to its reference point and height.
        for (int k = 0; k < 8; ++k) {
            float* c = corners + 3 * k;
            c[shape == 0 ? 0 : 1] *= stretch;
            c[0] += x;
            c[1] += y;
            c[2] += z;
        }
        break;
    case 2:
        // A tower: only the top face (corners 0..3) rises, so the bottom stays just below the
        // ground whatever the box's height.
        for (int k = 0; k < 4; ++k) {
            corners[3 * k + 2] *= stretch;
        }
        for (int k = 0; k < 8; ++k) {
            corners[3 * k] += x;
            corners[3 * k + 1] += y;
        }
        break;
    default:
        break;
    }
}

void Carz::DrawCarz() {
    glPushMatrix();
    if (translucent != 0) {
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    // Unscaled on purpose: lighting without colour tracking ignores the current colour anyway.
    glColor3f(static_cast<GLfloat>(red), static_cast<GLfloat>(green), static_cast<GLfloat>(blue));
    DrawCubeCorners(corners);
    // The traffic drawn after the boxes relies on blending being off.
    glDisable(GL_BLEND);
    glPopMatrix();
}
