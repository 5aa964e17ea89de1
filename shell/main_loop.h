// The program's entry point with its two loops, and the two requests the scene makes of them.
#pragma once

#include <cstdint>

#include "common/gl_window.h"
#include "shell/options.h"
#include "shell/run_plan.h"

// The private message that asks the loop for a window in the other display mode (WM_USER + 1).
// Spelled as a number so that this header stays free of the platform constants, which would
// clash with <windows.h> in the Windows entry point.
constexpr uint32_t WM_TOGGLEFULLSCREEN = 0x0401;

// 1 while the outer loop is to create another window after the current one is destroyed.
extern BOOL g_isProgramLooping;
// Whether the next window is to be full screen.
extern BOOL g_createFullScreen;

// The program, from its parsed command line: registers the window class, then creates a window
// per display mode and runs frames until asked to quit; the settings mode shows the settings
// dialog instead. Returns the exit code: 0, 1 when no window or OpenGL context could be made or
// the settings could not be stored, -1 when the class cannot be registered.
// The plan comes from the options, the stored saver settings and each mode's defaults.
int RunZorvik(InstanceHandle hInstance, const Options& options);
int RunPlanned(InstanceHandle hInstance, const RunPlan& plan);
