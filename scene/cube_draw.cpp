#include "scene/cube_draw.h"

#include "common/gl.h"
#include "scene/world.h"

void DrawCubeCorners(const float* corners) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glNormalPointer(GL_FLOAT, 0, cc_normals);
    glDrawElements(GL_QUADS, 24, GL_UNSIGNED_INT, cc_faces);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
