#include "scene/cloud.h"

#include "common/gl.h"
#include "scene/random.h"
#include "scene/world.h"

Cloud::Cloud() {
    const int w = static_cast<int>(worldsize);
    x = static_cast<float>((Rand() % w - w / 2.0) * 2);
    y = static_cast<float>((Rand() % w - w / 2.0) * 2);
    z = static_cast<float>(Rand() % w + 8000);
    scaleX = static_cast<float>(Rand() % 16000) / 50.0f + 250.0f;
    scaleY = static_cast<float>(Rand() % 16000) / 50.0f + 250.0f;
    speed = static_cast<float>(Rand() % 4000) / 120.0f + 4.0f;
}

void Cloud::CalcCloud() {
    x += speed;
    // The cycle runs out to twice the world's edge and back in from the other side, so clouds
    // drift in from beyond the horizon instead of popping up at the edge.
    if (x > 2.0f * worldsize) {
        x = -2.0f * worldsize;
    }
}

void Cloud::DrawCloud() {
    glPushMatrix();
    glColor4ub(255, 255, 255, 255);
    glTranslatef(x, y, z);
    glScalef(scaleX, scaleY, 10.0f);
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, g_cubeVertices);
    glDrawArrays(GL_QUADS, 0, 4);
    glPopMatrix();
}
