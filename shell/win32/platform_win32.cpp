// The platform vocabulary on Windows: a thin pass-through to user32, gdi32 and opengl32.
//
// The vocabulary's numbers are Win32's own, so they are passed on unchanged; this file includes
// <windows.h> and never the vocabulary's constants header, whose names <windows.h> defines as
// macros.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "shell/win32/platform.h"

namespace {

static_assert(sizeof(PlatformWindowClass) == sizeof(WNDCLASSEXA),
              "the class record mirrors WNDCLASSEXA");
static_assert(sizeof(PlatformPixelFormat) == sizeof(PIXELFORMATDESCRIPTOR),
              "the pixel-format request mirrors PIXELFORMATDESCRIPTOR");
static_assert(kMonitorPrimary == MONITORINFOF_PRIMARY, "the primary monitor's flag is Win32's");
static_assert(offsetof(CREATESTRUCTA, lpCreateParams) == 0,
              "WM_CREATE's record starts with the creation parameter");

// The program registers one class; its procedure is reached through this Win32-convention
// trampoline, since the portable procedure does not use the system's calling convention.
WindowProcedure g_procedure = nullptr;

LRESULT CALLBACK ForwardToWindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_procedure == nullptr) {
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    return g_procedure(reinterpret_cast<WindowHandle>(hWnd), message, wParam, lParam);
}

HWND Native(WindowHandle hWnd) {
    return reinterpret_cast<HWND>(hWnd);
}
HDC Native(DeviceContextHandle hDC) {
    return reinterpret_cast<HDC>(hDC);
}
HGLRC Native(RenderContextHandle hRC) {
    return reinterpret_cast<HGLRC>(hRC);
}
HINSTANCE Native(InstanceHandle hInstance) {
    return reinterpret_cast<HINSTANCE>(hInstance);
}

PIXELFORMATDESCRIPTOR Native(const PlatformPixelFormat& format) {
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = format.nSize;
    pfd.nVersion = format.nVersion;
    pfd.dwFlags = format.dwFlags;
    pfd.iPixelType = format.iPixelType;
    pfd.cColorBits = format.cColorBits;
    pfd.cRedBits = format.cRedBits;
    pfd.cRedShift = format.cRedShift;
    pfd.cGreenBits = format.cGreenBits;
    pfd.cGreenShift = format.cGreenShift;
    pfd.cBlueBits = format.cBlueBits;
    pfd.cBlueShift = format.cBlueShift;
    pfd.cAlphaBits = format.cAlphaBits;
    pfd.cAlphaShift = format.cAlphaShift;
    pfd.cAccumBits = format.cAccumBits;
    pfd.cAccumRedBits = format.cAccumRedBits;
    pfd.cAccumGreenBits = format.cAccumGreenBits;
    pfd.cAccumBlueBits = format.cAccumBlueBits;
    pfd.cAccumAlphaBits = format.cAccumAlphaBits;
    pfd.cDepthBits = format.cDepthBits;
    pfd.cStencilBits = format.cStencilBits;
    pfd.cAuxBuffers = format.cAuxBuffers;
    pfd.iLayerType = format.iLayerType;
    pfd.bReserved = format.bReserved;
    pfd.dwLayerMask = format.dwLayerMask;
    pfd.dwVisibleMask = format.dwVisibleMask;
    pfd.dwDamageMask = format.dwDamageMask;
    return pfd;
}

} // namespace

// --- Window classes ---------------------------------------------------------------------------

uint16_t PlatformRegisterClass(const PlatformWindowClass* windowClass) {
    WNDCLASSEXA native;
    std::memset(&native, 0, sizeof native);
    native.cbSize = windowClass->cbSize;
    native.style = windowClass->style;
    native.lpfnWndProc = ForwardToWindowProcedure;
    native.cbClsExtra = windowClass->cbClsExtra;
    native.cbWndExtra = windowClass->cbWndExtra;
    native.hInstance = Native(windowClass->hInstance);
    native.hIcon = reinterpret_cast<HICON>(windowClass->hIcon);
    native.hCursor = reinterpret_cast<HCURSOR>(windowClass->hCursor);
    native.hbrBackground = reinterpret_cast<HBRUSH>(windowClass->hbrBackground);
    native.lpszMenuName = windowClass->lpszMenuName;
    native.lpszClassName = windowClass->lpszClassName;
    native.hIconSm = reinterpret_cast<HICON>(windowClass->hIconSm);
    g_procedure = windowClass->lpfnWndProc;
    return RegisterClassExA(&native);
}

BOOL PlatformUnregisterClass(const char* className, InstanceHandle instance) {
    return UnregisterClassA(className, Native(instance));
}

CursorHandle PlatformLoadCursor(InstanceHandle instance, uintptr_t cursorId) {
    return reinterpret_cast<CursorHandle>(
        LoadCursorA(Native(instance), MAKEINTRESOURCEA(cursorId)));
}

// --- Windows ----------------------------------------------------------------------------------

WindowHandle PlatformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle parent, MenuHandle menu,
                                  InstanceHandle instance, void* param) {
    return reinterpret_cast<WindowHandle>(
        CreateWindowExA(exStyle, className, title, style, x, y, width, height, Native(parent),
                        reinterpret_cast<HMENU>(menu), Native(instance), param));
}

BOOL PlatformShowWindow(WindowHandle hWnd, int32_t showCommand) {
    return ShowWindow(Native(hWnd), showCommand);
}

BOOL PlatformDestroyWindow(WindowHandle hWnd) {
    return DestroyWindow(Native(hWnd));
}

intptr_t PlatformGetWindowLongPtr(WindowHandle hWnd, int32_t index) {
    return GetWindowLongPtrA(Native(hWnd), index);
}

intptr_t PlatformSetWindowLongPtr(WindowHandle hWnd, int32_t index, intptr_t value) {
    return SetWindowLongPtrA(Native(hWnd), index, value);
}

BOOL PlatformAdjustWindowRectEx(PlatformRect* rect, uint32_t style, BOOL hasMenu,
                                uint32_t exStyle) {
    RECT native = {rect->left, rect->top, rect->right, rect->bottom};
    const BOOL result = AdjustWindowRectEx(&native, style, hasMenu, exStyle);
    rect->left = native.left;
    rect->top = native.top;
    rect->right = native.right;
    rect->bottom = native.bottom;
    return result;
}

BOOL PlatformGetClientRect(WindowHandle hWnd, PlatformRect* rect) {
    RECT native;
    if (!GetClientRect(Native(hWnd), &native)) {
        return FALSE;
    }
    *rect = PlatformRect{native.left, native.top, native.right, native.bottom};
    return TRUE;
}

BOOL PlatformIsWindow(WindowHandle hWnd) {
    return IsWindow(Native(hWnd));
}

BOOL PlatformIsWindowVisible(WindowHandle hWnd) {
    return IsWindowVisible(Native(hWnd));
}

WindowHandle PlatformGetParentWindow(WindowHandle hWnd) {
    return reinterpret_cast<WindowHandle>(GetAncestor(Native(hWnd), GA_PARENT));
}

BOOL PlatformMoveWindow(WindowHandle hWnd, int32_t x, int32_t y, int32_t width, int32_t height,
                        BOOL repaint) {
    return MoveWindow(Native(hWnd), x, y, width, height, repaint);
}

WindowHandle PlatformGetDesktopWindow() {
    return reinterpret_cast<WindowHandle>(GetDesktopWindow());
}

// --- Device contexts, pixel formats, OpenGL contexts ------------------------------------------

DeviceContextHandle PlatformGetDC(WindowHandle hWnd) {
    return reinterpret_cast<DeviceContextHandle>(GetDC(Native(hWnd)));
}

int32_t PlatformReleaseDC(WindowHandle hWnd, DeviceContextHandle hDC) {
    return ReleaseDC(Native(hWnd), Native(hDC));
}

int32_t PlatformChoosePixelFormat(DeviceContextHandle hDC, const PlatformPixelFormat* format) {
    const PIXELFORMATDESCRIPTOR pfd = Native(*format);
    return ChoosePixelFormat(Native(hDC), &pfd);
}

BOOL PlatformSetPixelFormat(DeviceContextHandle hDC, int32_t formatIndex,
                            const PlatformPixelFormat* format) {
    const PIXELFORMATDESCRIPTOR pfd = Native(*format);
    return SetPixelFormat(Native(hDC), formatIndex, &pfd);
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle hDC) {
    return reinterpret_cast<RenderContextHandle>(wglCreateContext(Native(hDC)));
}

BOOL PlatformMakeCurrent(DeviceContextHandle hDC, RenderContextHandle hRC) {
    return wglMakeCurrent(Native(hDC), Native(hRC));
}

BOOL PlatformDeleteContext(RenderContextHandle hRC) {
    return wglDeleteContext(Native(hRC));
}

BOOL PlatformSwapBuffers(DeviceContextHandle hDC) {
    return SwapBuffers(Native(hDC));
}

// --- Display, cursor, message boxes, time -----------------------------------------------------

BOOL PlatformSetSwapInterval(int32_t interval) {
    // An extension: asked of the driver behind the current context.
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    // Through a plain pointer: the entry point's real type is not the generic one it comes as.
    const auto setInterval = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    return setInterval != nullptr ? setInterval(interval) : FALSE;
}

int32_t PlatformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    if (mode == nullptr) {
        return ChangeDisplaySettingsA(nullptr, flags);
    }
    DEVMODEA native;
    std::memset(&native, 0, sizeof native);
    native.dmSize = mode->dmSize;
    native.dmFields = mode->dmFields;
    native.dmPelsWidth = mode->dmPelsWidth;
    native.dmPelsHeight = mode->dmPelsHeight;
    native.dmBitsPerPel = mode->dmBitsPerPel;
    return ChangeDisplaySettingsA(&native, flags);
}

int32_t PlatformShowCursor(BOOL show) {
    return ShowCursor(show);
}

int32_t PlatformMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t type) {
    return MessageBoxA(Native(owner), text, caption, type);
}

int32_t PlatformGetDisplayFrequency() {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
        return 0;
    }
    // 0 and 1 stand for the hardware's default rate, which the system does not name.
    return mode.dmDisplayFrequency > 1 ? static_cast<int32_t>(mode.dmDisplayFrequency) : 0;
}

namespace {

struct MonitorList {
    PlatformMonitor* monitors;
    int32_t capacity;
    int32_t count;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto* list = reinterpret_cast<MonitorList*>(data);
    MONITORINFO info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        if (list->count < list->capacity) {
            list->monitors[list->count] =
                PlatformMonitor{{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                                 info.rcMonitor.bottom},
                                info.dwFlags};
        }
        ++list->count;
    }
    return TRUE;
}

constexpr char kSettingsKey[] = "Software\\zorvik";

} // namespace

int32_t PlatformEnumDisplayMonitors(PlatformMonitor* monitors, int32_t capacity) {
    MonitorList list{monitors, capacity, 0};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    return list.count;
}

BOOL PlatformReadSetting(const char* name, uint32_t* value) {
    DWORD stored = 0;
    DWORD size = sizeof stored;
    // Only a DWORD is taken: a value of any other type is as good as none.
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &stored,
                     &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    *value = stored;
    return TRUE;
}

BOOL PlatformWriteSetting(const char* name, uint32_t value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return FALSE;
    }
    const DWORD stored = value;
    const LONG result = RegSetValueExA(key, name, 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? TRUE : FALSE;
}

uint32_t PlatformGetTickCount() {
    return GetTickCount();
}

// --- The message queue ------------------------------------------------------------------------

BOOL PlatformPeekMessage(PlatformMessage* message, WindowHandle hWnd, uint32_t filterMin,
                         uint32_t filterMax, uint32_t removeFlags) {
    MSG native;
    if (!PeekMessageA(&native, Native(hWnd), filterMin, filterMax, removeFlags)) {
        return FALSE;
    }
    message->hwnd = reinterpret_cast<WindowHandle>(native.hwnd);
    message->message = native.message;
    message->wParam = native.wParam;
    message->lParam = native.lParam;
    message->time = native.time;
    message->x = native.pt.x;
    message->y = native.pt.y;
    return TRUE;
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    MSG native;
    std::memset(&native, 0, sizeof native);
    native.hwnd = Native(message->hwnd);
    native.message = message->message;
    native.wParam = message->wParam;
    native.lParam = message->lParam;
    native.time = message->time;
    native.pt.x = message->x;
    native.pt.y = message->y;
    return DispatchMessageA(&native);
}

BOOL PlatformWaitMessage() {
    return WaitMessage();
}

BOOL PlatformWaitMessageTimeout(uint32_t milliseconds) {
    return MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT) == WAIT_OBJECT_0
               ? TRUE
               : FALSE;
}

intptr_t PlatformDefWindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
    return DefWindowProcA(Native(hWnd), message, wParam, lParam);
}
