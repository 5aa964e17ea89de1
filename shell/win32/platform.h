// The window-system services the shell needs, in a small vocabulary shaped after Win32.
//
// The shell's logic (window creation, the main loop, the window procedure) is written once against
// these operations; each platform implements them in its own file: Win32 passes them straight on
// to user32, gdi32 and opengl32, SDL translates them for Linux, and a scriptable fake records them
// for the tests. The records below carry exactly the values the shell asks for, so a platform
// only has to copy them into its own structures.
//
// This header holds types and operations only. The numeric constants (message numbers, styles,
// flags) live in shell/platform_constants.h, which the Win32 platform must not include because
// <windows.h> defines the same names as macros.
#pragma once

#include <cstdint>

#include "common/gl_window.h"

struct PlatformCursor;
struct PlatformIcon;
struct PlatformBrush;
struct PlatformMenu;
using CursorHandle = PlatformCursor*;
using IconHandle = PlatformIcon*;
using BrushHandle = PlatformBrush*;
using MenuHandle = PlatformMenu*;

struct SaverSettings;

// A window procedure. The parameters are pointer-sized so that a 64-bit build passes whole
// pointers through them, as Win32's WPARAM, LPARAM and LRESULT do.
using WindowProcedure = intptr_t (*)(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

// A window class, field for field a WNDCLASSEXA, so that its size is that record's size on every
// target.
struct PlatformWindowClass {
    uint32_t cbSize;
    uint32_t style;
    WindowProcedure lpfnWndProc;
    int32_t cbClsExtra;
    int32_t cbWndExtra;
    InstanceHandle hInstance;
    IconHandle hIcon;
    CursorHandle hCursor;
    BrushHandle hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
    IconHandle hIconSm;
};

// What WM_CREATE's lParam points to. Only the first field, the creation parameter, is read; the
// Win32 creation record starts the same way.
struct PlatformCreationRecord {
    void* lpCreateParams;
};

struct PlatformRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct PlatformMessage {
    WindowHandle hwnd;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
    int32_t x; // cursor position when the message was posted
    int32_t y;
};

// A pixel-format request, field for field a PIXELFORMATDESCRIPTOR (40 bytes).
struct PlatformPixelFormat {
    uint16_t nSize;
    uint16_t nVersion;
    uint32_t dwFlags;
    uint8_t iPixelType;
    uint8_t cColorBits;
    uint8_t cRedBits;
    uint8_t cRedShift;
    uint8_t cGreenBits;
    uint8_t cGreenShift;
    uint8_t cBlueBits;
    uint8_t cBlueShift;
    uint8_t cAlphaBits;
    uint8_t cAlphaShift;
    uint8_t cAccumBits;
    uint8_t cAccumRedBits;
    uint8_t cAccumGreenBits;
    uint8_t cAccumBlueBits;
    uint8_t cAccumAlphaBits;
    uint8_t cDepthBits;
    uint8_t cStencilBits;
    uint8_t cAuxBuffers;
    uint8_t iLayerType;
    uint8_t bReserved;
    uint32_t dwLayerMask;
    uint32_t dwVisibleMask;
    uint32_t dwDamageMask;
};
static_assert(sizeof(PlatformPixelFormat) == 40, "a pixel-format request is 40 bytes");

// The fields of a display-mode request (a DEVMODEA) that the shell fills; a platform starts from
// a zero-filled record of its own and copies these in.
struct PlatformDisplayMode {
    uint16_t dmSize;
    uint32_t dmFields;
    uint32_t dmPelsWidth;
    uint32_t dmPelsHeight;
    uint32_t dmBitsPerPel;
};

// Window classes.
uint16_t PlatformRegisterClass(const PlatformWindowClass* windowClass); // 0 on failure
BOOL PlatformUnregisterClass(const char* className, InstanceHandle instance);
CursorHandle PlatformLoadCursor(InstanceHandle instance, uintptr_t cursorId);

// Windows. Creation delivers WM_CREATE to the class's procedure before it returns.
WindowHandle PlatformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle parent, MenuHandle menu,
                                  InstanceHandle instance, void* param);
BOOL PlatformShowWindow(WindowHandle hWnd, int32_t showCommand);
BOOL PlatformDestroyWindow(WindowHandle hWnd);
intptr_t PlatformGetWindowLongPtr(WindowHandle hWnd, int32_t index);
intptr_t PlatformSetWindowLongPtr(WindowHandle hWnd, int32_t index, intptr_t value);
BOOL PlatformAdjustWindowRectEx(PlatformRect* rect, uint32_t style, BOOL hasMenu, uint32_t exStyle);
// A window's client area, from (0, 0); works on windows of other programs too. FALSE when the
// window does not exist.
BOOL PlatformGetClientRect(WindowHandle hWnd, PlatformRect* rect);
// Whether the handle names an existing window, of this program or another.
BOOL PlatformIsWindow(WindowHandle hWnd);
// Whether the window and every window above it are shown, as IsWindowVisible says: a window
// inside a hidden or unmapped one cannot be seen either.
BOOL PlatformIsWindowVisible(WindowHandle hWnd);
// The window a window lies in (GetAncestor with GA_PARENT): the desktop for a top-level window,
// something else for a message-only window, null above the top.
WindowHandle PlatformGetParentWindow(WindowHandle hWnd);
// Moves and sizes a window (a child within its parent's client area); a new size sends WM_SIZE.
BOOL PlatformMoveWindow(WindowHandle hWnd, int32_t x, int32_t y, int32_t width, int32_t height,
                        BOOL repaint);
// The desktop: the root of every window, the one a screen saver host may hand over to draw on.
WindowHandle PlatformGetDesktopWindow();

// Device contexts, pixel formats and OpenGL contexts.
DeviceContextHandle PlatformGetDC(WindowHandle hWnd);
int32_t PlatformReleaseDC(WindowHandle hWnd, DeviceContextHandle hDC);
int32_t PlatformChoosePixelFormat(DeviceContextHandle hDC, const PlatformPixelFormat* format);
BOOL PlatformSetPixelFormat(DeviceContextHandle hDC, int32_t formatIndex,
                            const PlatformPixelFormat* format);
RenderContextHandle PlatformCreateContext(DeviceContextHandle hDC);
BOOL PlatformMakeCurrent(DeviceContextHandle hDC, RenderContextHandle hRC);
BOOL PlatformDeleteContext(RenderContextHandle hRC);
BOOL PlatformSwapBuffers(DeviceContextHandle hDC);

// Waits for this many display refreshes at each buffer swap (0: none), for the current context,
// as wglSwapIntervalEXT does. FALSE when the driver cannot.
BOOL PlatformSetSwapInterval(int32_t interval);

// The display and the cursor. A null mode restores the mode stored in the system's settings.
int32_t PlatformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags);
int32_t PlatformShowCursor(BOOL show); // the new display count; the cursor shows while it is >= 0

// A modal message box; returns the button that closed it.
int32_t PlatformMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t type);

// The refresh rate of the primary display, in Hz; 0 when the system does not say.
int32_t PlatformGetDisplayFrequency();

// One monitor of the desktop, as EnumDisplayMonitors and GetMonitorInfo give it: its area on the
// virtual screen, and kMonitorPrimary (Win32's kMonitorPrimary) for the primary one. The flag
// lives here rather than with the other constants, which code that draws cannot include.
constexpr uint32_t kMonitorPrimary = 1;
struct PlatformMonitor {
    PlatformRect rcMonitor;
    uint32_t dwFlags;
};
// Fills up to `capacity` records, and returns how many monitors there are.
int32_t PlatformEnumDisplayMonitors(PlatformMonitor* monitors, int32_t capacity);

// The user's stored settings of the program, as DWORD values under
// HKEY_CURRENT_USER\Software\zorvik on Windows. Reading gives FALSE for a value that is missing or
// not a number.
BOOL PlatformReadSetting(const char* name, uint32_t* value);
BOOL PlatformWriteSetting(const char* name, uint32_t value);

// The screen saver's settings dialog, modal, owned by `owner` (null: by nobody), showing
// `settings` to begin with. TRUE when the user chose OK, `settings` then holding what was chosen;
// FALSE when the dialog was cancelled, or could not be shown (the platform says why), `settings`
// then unchanged. A platform without settings of its own says where they are kept instead.
BOOL PlatformEditSaverSettings(InstanceHandle instance, WindowHandle owner,
                               SaverSettings* settings);

// Time.
uint32_t PlatformGetTickCount(); // milliseconds, wrapping at 2^32

// The message queue. Peeking never waits; a window filter takes only that window's messages.
BOOL PlatformPeekMessage(PlatformMessage* message, WindowHandle hWnd, uint32_t filterMin,
                         uint32_t filterMax, uint32_t removeFlags);
intptr_t PlatformDispatchMessage(const PlatformMessage* message);
BOOL PlatformWaitMessage();
// Waits until input arrives or `milliseconds` pass, as MsgWaitForMultipleObjects does with no
// objects: TRUE when input arrived, FALSE when the time ran out.
BOOL PlatformWaitMessageTimeout(uint32_t milliseconds);
intptr_t PlatformDefWindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);
