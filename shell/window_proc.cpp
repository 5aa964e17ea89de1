// The window procedure of the program's window class.
#include "shell/window_proc.h"

#include "shell/main_loop.h"
#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/window.h"

namespace {

// How far the pointer may drift before a screen saver takes it as the user's hand: a desk that
// shakes, or a mouse that reports its first position late, should not end it.
constexpr int32_t kPointerSlack = 8;

int32_t Abs(int32_t v) {
    return v < 0 ? -v : v;
}

// Whether a message is the user's input that ends a full-screen screen saver: a key, a button, a
// move of the pointer beyond the slack from where it was first seen, or the loss of activation.
bool EndsTheSaver(GL_Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        return true;
    case WM_ACTIVATEAPP:
        return wParam == FALSE;
    case WM_MOUSEMOVE: {
        // Signed 16-bit coordinates, negative on monitors left of or above the primary one.
        const int32_t x = static_cast<int16_t>(lParam & 0xFFFF);
        const int32_t y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
        if (window->pointerKnown != TRUE) {
            window->pointerKnown = TRUE;
            window->pointerX = x;
            window->pointerY = y;
            return false;
        }
        return Abs(x - window->pointerX) > kPointerSlack ||
               Abs(y - window->pointerY) > kPointerSlack;
    }
    default:
        return false;
    }
}

} // namespace

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

    if (window->endsOnInput == TRUE && EndsTheSaver(window, message, wParam, lParam)) {
        TerminateApplication(window);
        return 0;
    }

    // A child window (a preview, a saver host's window) leaves the keyboard to its host.
    const bool keys = window->parent == nullptr;

    switch (message) {
    case WM_DESTROY:
        // Destroyed by someone else: the host of a preview closed it, or the window a saver host
        // lent went away. The program's own destruction clears the record's handle first.
        if (window->hWnd == hWnd) {
            window->isGone = TRUE;
            g_isProgramLooping = FALSE;
        }
        break;

    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            window->isVisible = TRUE;
            // The scene's own view for the new shape: the shell's generic projection would
            // keep only the nearest beams of the city in sight.
            Reshape(static_cast<int32_t>(lParam & 0xFFFF),
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
        if (keys && wParam <= 255) {
            window->keys->keyDown[wParam] = TRUE;
            return 0;
        }
        break;

    case WM_KEYUP:
        if (keys && wParam <= 255) {
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
