// What the browser host asks of the OpenGL 1.1 layer, beside the OpenGL calls themselves: to take
// up a WebGL context (the first, or one restored after a loss), to let go of a lost one, and to
// hand the frame's last drawing to WebGL before the browser shows it.
#pragma once

#include <string>

namespace gl11 {

// With the WebGL context current: builds the layer's program and buffers, and uploads every
// texture the scene has made so far again. False with the reason when WebGL cannot run it.
bool AttachContext(std::string* why);
// The context is lost: its objects are gone; drawing is dropped until AttachContext.
void DetachContext();
// Draws what is still gathered: at the end of every frame.
void FinishFrame();

// Leaves one light, or the glow (the textured draws), out of the picture: for tests only.
void DropLight(int light);
void DropTextured(bool drop);

} // namespace gl11
