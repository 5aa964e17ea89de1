// The window class, the full-screen display mode, and the window with its rendering context.
#include "shell/win32/window.h"

#include <cstring>

#include "shell/win32/error_box.h"
#include "shell/win32/platform.h"
#include "shell/win32/platform_constants.h"
#include "shell/win32/window_proc.h"

namespace {

PlatformPixelFormat DescribePixelFormat(int32_t bitsPerPixel) {
    PlatformPixelFormat format;
    std::memset(&format, 0, sizeof format);
    format.nSize = sizeof(PlatformPixelFormat);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = static_cast<uint8_t>(bitsPerPixel);
    format.cAlphaBits = 1;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}

// Puts back what full screen took: the display mode, unless it was never switched, and the cursor.
void LeaveFullScreen(const GL_Window* window) {
    if (window->keepsDisplayMode != TRUE) {
        PlatformChangeDisplaySettings(nullptr, 0);
    }
    PlatformShowCursor(TRUE);
}

// Destroys the record's window. The handle is cleared first, so that the window procedure can tell
// this destruction from one that the window's host makes behind the program's back.
void DestroyOwnWindow(HostWindow* record) {
    GL_Window* window = &record->gl;
    const WindowHandle hWnd = window->hWnd;
    window->hWnd = nullptr;
    if (!record->gone) {
        PlatformDestroyWindow(hWnd);
    }
}

// The clean-up after a failed creation step, newest object first, each handle cleared as soon as
// its object is gone. A display mode switched for this window is put back too, with the cursor,
// so that a failed creation never leaves the user in a foreign mode without a pointer.
void AbandonWindow(HostWindow* record) {
    GL_Window* window = &record->gl;
    if (window->hRC != nullptr) {
        PlatformDeleteContext(window->hRC);
        window->hRC = nullptr;
    }
    if (window->hDC != nullptr) {
        PlatformReleaseDC(window->hWnd, window->hDC);
        window->hDC = nullptr;
    }
    if (window->hWnd != nullptr) {
        DestroyOwnWindow(record);
    }
    if (window->isFullScreen) {
        LeaveFullScreen(window);
        window->isFullScreen = FALSE;
    }
}

} // namespace

BOOL RegisterWindowClass(Application* application) {
    PlatformWindowClass windowClass;
    std::memset(&windowClass, 0, sizeof windowClass);
    windowClass.cbSize = sizeof(PlatformWindowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = application->hInstance;
    windowClass.hCursor = PlatformLoadCursor(nullptr, IDC_ARROW);
    // A system colour index stands in for a brush handle, as the window system allows.
    windowClass.hbrBackground = reinterpret_cast<BrushHandle>(COLOR_APPWORKSPACE);
    windowClass.lpszClassName = application->className;
    if (PlatformRegisterClass(&windowClass) == 0) {
        ShowErrorBox(application, "RegisterClassEx Failed!");
        return FALSE;
    }
    return TRUE;
}

BOOL ChangeScreenResolution(int32_t width, int32_t height, int32_t bitsPerPixel) {
    PlatformDisplayMode mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = DISPLAY_MODE_RECORD_SIZE;
    mode.dmPelsWidth = static_cast<uint32_t>(width);
    mode.dmPelsHeight = static_cast<uint32_t>(height);
    mode.dmBitsPerPel = static_cast<uint32_t>(bitsPerPixel);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return PlatformChangeDisplaySettings(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL ? TRUE
                                                                                          : FALSE;
}

BOOL CreateWindowGL(HostWindow* record) {
    GL_Window* window = &record->gl;
    record->gone = false;
    uint32_t style = WS_OVERLAPPEDWINDOW;
    uint32_t exStyle = WS_EX_APPWINDOW;
    const PlatformPixelFormat format = DescribePixelFormat(window->bitsPerPixel);
    PlatformRect rect = {0, 0, window->width, window->height};

    if (record->parent != nullptr) {
        // A child filling its parent's client area: no frame, no mode, nothing to adjust.
        style = WS_CHILD | WS_VISIBLE;
        exStyle = 0;
    } else if (window->isFullScreen == TRUE) {
        // Full screen at the display's own mode needs no switch, and so cannot be refused.
        if (window->keepsDisplayMode == TRUE ||
            ChangeScreenResolution(window->width, window->height, window->bitsPerPixel)) {
            PlatformShowCursor(FALSE);
            style = WS_POPUP;
            exStyle |= WS_EX_TOPMOST;
        } else {
            // The window keeps its outer size here: the frame is not added, so the client area
            // comes out smaller than asked.
            ShowErrorBox(window->application, kModeRefusedText);
            window->isFullScreen = FALSE;
        }
    } else {
        PlatformAdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }

    window->hWnd =
        PlatformCreateWindow(exStyle, window->application->className, window->title, style,
                             window->x, window->y, rect.right - rect.left, rect.bottom - rect.top,
                             record->parent, nullptr, window->application->hInstance, record);
    if (window->hWnd == nullptr) {
        AbandonWindow(record);
        return FALSE;
    }

    window->hDC = PlatformGetDC(window->hWnd);
    if (window->hDC == nullptr) {
        AbandonWindow(record);
        return FALSE;
    }

    const int32_t formatIndex = PlatformChoosePixelFormat(window->hDC, &format);
    if (formatIndex == 0) {
        AbandonWindow(record);
        return FALSE;
    }
    if (PlatformSetPixelFormat(window->hDC, formatIndex, &format) == FALSE) {
        AbandonWindow(record);
        return FALSE;
    }

    if (record->sharedContext != nullptr) {
        if (PlatformMakeCurrent(window->hDC, record->sharedContext) == FALSE) {
            AbandonWindow(record);
            return FALSE;
        }
        window->hRC = record->sharedContext;
    } else {
        window->hRC = PlatformCreateContext(window->hDC);
        if (window->hRC == nullptr) {
            AbandonWindow(record);
            return FALSE;
        }
        if (PlatformMakeCurrent(window->hDC, window->hRC) == FALSE) {
            AbandonWindow(record);
            return FALSE;
        }
    }

    PlatformShowWindow(window->hWnd, SW_SHOWNORMAL);
    window->isVisible = TRUE;
    ReshapeGL(window->width, window->height);
    window->lastTickCount = PlatformGetTickCount();
    return TRUE;
}

BOOL DestroyWindowGL(HostWindow* record) {
    GL_Window* window = &record->gl;
    if (window->hWnd != nullptr) {
        if (window->hDC != nullptr) {
            PlatformMakeCurrent(window->hDC, nullptr);
            if (window->hRC != nullptr && window->hRC != record->sharedContext) {
                PlatformDeleteContext(window->hRC);
            }
            window->hRC = nullptr;
            PlatformReleaseDC(window->hWnd, window->hDC);
            window->hDC = nullptr;
        }
        DestroyOwnWindow(record);
    }
    if (window->isFullScreen) {
        LeaveFullScreen(window);
    }
    return TRUE;
}
