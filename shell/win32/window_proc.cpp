// The window procedure of the program's window class: what Windows says of a window becomes the
// host's events, which the program takes in its own time.
#include "shell/win32/window_proc.h"

#include "shell/win32/platform.h"
#include "shell/win32/platform_constants.h"
#include "shell/win32/window.h"

namespace {

void Push(HostWindow* window, HostEventKind kind, int32_t x = 0, int32_t y = 0) {
    HostEvent event;
    event.kind = kind;
    event.surface = window->id;
    event.x = x;
    event.y = y;
    event.width = x;
    event.height = y;
    window->events->push_back(event);
}

void PushKey(HostWindow* window, uintptr_t key, bool down, bool withAlt) {
    HostEvent event;
    event.kind = HostEventKind::kKey;
    event.surface = window->id;
    event.key = static_cast<uint8_t>(key);
    event.down = down;
    event.withAlt = withAlt;
    window->events->push_back(event);
}

// The low and high words of a message's parameter, signed: positions on monitors left of or
// above the primary one are negative.
int32_t Low(intptr_t lParam) {
    return static_cast<int16_t>(lParam & 0xFFFF);
}
int32_t High(intptr_t lParam) {
    return static_cast<int16_t>((lParam >> 16) & 0xFFFF);
}

} // namespace

intptr_t WindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    HostWindow* window =
        reinterpret_cast<HostWindow*>(PlatformGetWindowLongPtr(hWnd, GWL_USERDATA));

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
    // A child window (a preview, a saver host's window) leaves the keyboard to its host.
    const bool child = window->parent != nullptr;

    switch (message) {
    case WM_DESTROY:
        // Destroyed by someone else: the host of a preview closed it. The program's own
        // destruction clears the record's handle first.
        if (window->gl.hWnd == hWnd) {
            window->gone = true;
            Push(window, HostEventKind::kHostGone);
        }
        break;

    case WM_SIZE:
        if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
            window->gl.isVisible = TRUE;
            Push(window, HostEventKind::kResized, static_cast<int32_t>(lParam & 0xFFFF),
                 static_cast<int32_t>((lParam >> 16) & 0xFFFF));
            return 0;
        }
        if (wParam == SIZE_MINIMIZED) {
            window->gl.isVisible = FALSE;
            Push(window, HostEventKind::kHidden);
            return 0;
        }
        break;

    case WM_CLOSE:
        // Handled here so that the system does not destroy the window behind the loop's back:
        // the program tears it down in its own order.
        Push(window, HostEventKind::kCloseRequested);
        return 0;

    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam <= 255) {
            PushKey(window, wParam, message == WM_KEYDOWN, false);
            if (!child) {
                return 0;
            }
        }
        break;

    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        // Alt's keys stay the system's (Alt+F4 closes the window), and end a screen saver.
        if (wParam <= 255) {
            PushKey(window, wParam, message == WM_SYSKEYDOWN, true);
        }
        break;

    case WM_MOUSEMOVE:
        Push(window, HostEventKind::kPointerMove, Low(lParam), High(lParam));
        break;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
        Push(window, HostEventKind::kPointerButton, Low(lParam), High(lParam));
        break;

    case WM_ACTIVATEAPP:
        if (wParam == FALSE) {
            Push(window, HostEventKind::kFocusLost);
        }
        break;

    case WM_DISPLAYCHANGE:
        Push(window, HostEventKind::kOutputsChanged);
        break;

    case WM_SYSCOMMAND:
        // Swallowing these keeps the screen saver and monitor power-saving from starting, which
        // the animation wants and a screen saver must not.
        if ((wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) && window->keepsDisplayAwake) {
            return 0;
        }
        break;

    default:
        break;
    }
    return PlatformDefWindowProc(hWnd, message, wParam, lParam);
}
