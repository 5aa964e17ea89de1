// The program's entry point with its two loops, and the two requests the scene makes of them.
#pragma once

#include <cstdint>

#include "common/gl_window.h"

// The private message that asks the loop for a window in the other display mode (WM_USER + 1).
// Spelled as a number so that this header stays free of the platform constants, which would
// clash with <windows.h> in the Windows entry point.
constexpr uint32_t WM_TOGGLEFULLSCREEN = 0x0401;

// 1 while the outer loop is to create another window after the current one is destroyed.
extern BOOL g_isProgramLooping;
// Whether the next window is to be full screen.
extern BOOL g_createFullScreen;

// The program. Only the instance handle is used. Returns 0, or -1 when the window class cannot be
// registered.
//
// On Windows this is the system's own entry point: C linkage and the system's calling convention,
// so the runtime's start-up code calls it directly (MinGW's compiler also insists on C linkage for
// any function of this name). The Linux entry point calls it from main.
#ifdef _WIN32
#define ZORVIK_ENTRY_CALL __stdcall
#else
#define ZORVIK_ENTRY_CALL
#endif
extern "C" int ZORVIK_ENTRY_CALL WinMain(InstanceHandle hInstance, InstanceHandle hPrevInstance,
                                         char* commandLine, int showCommand);
