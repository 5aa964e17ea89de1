// The scene's side of the shell contract. Filled in as the scene is built.
#include "shell/gl_window.h"

BOOL Initialize(GL_Window*, Keys*) { return TRUE; }
void Deinitialize() {}
void Update(uint32_t) {}
void Draw() {}
