// The numbers of the platform vocabulary: Win32's own values, so that the Win32 platform passes
// them through untouched and the other platforms speak the same language.
//
// <windows.h> defines these names as macros, so the Win32 platform never includes this header.
#pragma once

#include <cstdint>

// Window messages.
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_XBUTTONDOWN = 0x020B;
constexpr uint32_t WM_USER = 0x0400;

// WM_SIZE's wParam.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND's wParam.
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes the platforms need by name.
constexpr uintptr_t VK_ESCAPE = 0x1B;
constexpr uintptr_t VK_F1 = 0x70;
constexpr uintptr_t VK_F4 = 0x73;
constexpr uintptr_t VK_F10 = 0x79;

// Class styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_OWNDC = 0x0020;

// Window styles and extended styles.
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32_t WS_OVERLAPPEDWINDOW =
    WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;

// Window user data.
constexpr int32_t GWL_USERDATA = -21;

// ShowWindow commands.
constexpr int32_t SW_HIDE = 0;
constexpr int32_t SW_SHOWNORMAL = 1;

// The standard arrow cursor, and the system colour used as the class's background brush.
constexpr uintptr_t IDC_ARROW = 32512;
constexpr uintptr_t COLOR_APPWORKSPACE = 12;

// Message boxes.
constexpr uint32_t MB_OK = 0x00000000;
constexpr uint32_t MB_ICONEXCLAMATION = 0x00000030;
constexpr uint32_t MB_ICONINFORMATION = 0x00000040;
constexpr int32_t IDOK = 1;

// Message peeking.
constexpr uint32_t PM_REMOVE = 0x0001;

// Pixel formats.
constexpr uint32_t PFD_DOUBLEBUFFER = 0x00000001;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x00000020;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

// Display modes.
constexpr uint32_t DM_BITSPERPEL = 0x00040000;
constexpr uint32_t DM_PELSWIDTH = 0x00080000;
constexpr uint32_t DM_PELSHEIGHT = 0x00100000;
constexpr uint32_t CDS_FULLSCREEN = 0x00000004;
constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
constexpr int32_t DISP_CHANGE_FAILED = -1;
constexpr int32_t DISP_CHANGE_BADMODE = -2;

// Size of the full Win32 display-mode record.
constexpr uint16_t DISPLAY_MODE_RECORD_SIZE = 156;
