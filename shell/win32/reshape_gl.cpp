// The viewport and projection that follow the window's client size.
#include "common/gl.h"
#include "shell/win32/window.h"

void ReshapeGL(int32_t width, int32_t height) {
    // A framed window can be shrunk to no height at all; the projection then takes a height of 1
    // instead of dividing by zero.
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, static_cast<double>(width) / static_cast<double>(height), 5.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
