// The capture tool has no window and no keyboard, so the scene's requests to the shell (quit,
// toggle full screen) can never arise; these stand in for the shell's.
#include "common/gl_window.h"

void TerminateApplication(GL_Window*) {}
void ToggleFullscreen(GL_Window*) {}
