// The scene's records for one drawing area, filled the same way by every program that draws the
// city: the animation, the browser page, and the capture and soak tools.
#pragma once

#include <cstdint>

#include "common/gl_window.h"

// The animation's window title, which its windows and boxes carry on every system.
constexpr char kWindowTitle[] = "zorvik - tavrin 2005";

// The records the scene keeps pointers to, for a visible drawing area of width x height at 32 bits
// a pixel; `application` may be null where no window class exists.
void FillSceneRecords(GL_Window* window, Keys* keys, Application* application, int32_t width,
                      int32_t height);
