// The window procedure of the program's window class.
#include "shell/window_proc.h"

#include "shell/main_loop.h"
#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/window.h"

intptr_t WindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    GL_Window* window = reinterpret_cast<GL_Window*>(PlatformGetWindowLongPtr(hWnd, GWL_USERDATA));

    if (message == WM_CREATE) {
        const auto* creation = reinterpret_cast<const PlatformCreationRecord*>(lParam);
        PlatformSetWindowLongPtr(hWnd, GWL_USERDATA,
                                 reinterpret_cast<intptr_t>(creation->lpCreateParams));
        return 0;
    }
    // The system talks to a window before WM_CREATE has attached its record (sizing and
    // non-client messages); those get the default handling.
    if (window == nullptr) {
        return PlatformDefWindowProc(hWnd, message, wParam, lParam);
    }

    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            window->isVisible = TRUE;
            ReshapeGL(static_cast<int32_t>(lParam & 0xFFFF),
                      static_cast<int32_t>((lParam >> 16) & 0xFFFF));
            return 0;
        }
        if (wParam == SIZE_MINIMIZED) {
            window->isVisible = FALSE;
            return 0;
        }
        break;

    case WM_CLOSE:
        // Handled here so that the system does not destroy the window behind the loop's back:
        // the loop tears it down in its own order.
        TerminateApplication(window);
        return 0;

    case WM_KEYDOWN:
        if (wParam <= 255) {
            window->keys->keyDown[wParam] = TRUE;
            return 0;
        }
        break;

    case WM_KEYUP:
        if (wParam <= 255) {
            window->keys->keyDown[wParam] = FALSE;
            return 0;
        }
        break;

    case WM_SYSCOMMAND:
        // Swallowing these keeps the screen saver and monitor power-saving from starting.
        if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
            return 0;
        }
        break;

    case WM_TOGGLEFULLSCREEN:
        g_createFullScreen = g_createFullScreen == TRUE ? FALSE : TRUE;
        PlatformPostMessage(hWnd, WM_QUIT, 0, 0);
        break;

    default:
        break;
    }
    return PlatformDefWindowProc(hWnd, message, wParam, lParam);
}
