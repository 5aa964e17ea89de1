// The window procedure of the program's window class.
#pragma once

#include <cstdint>

#include "common/gl_window.h"

// Turns window messages into the host's events (keys, the pointer, sizes, visibility, close
// requests, the loss of activation); everything else goes to the default handling.
intptr_t WindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam);
