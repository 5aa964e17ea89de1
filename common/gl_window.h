// The shell's records and the contract between the shell and the scene.
//
// The shell owns one Application, one GL_Window and one Keys record for the whole run; the scene
// keeps pointers to them. The scene is driven through four hooks and calls the shell back through
// two requests, which the program's loop acts on after the frame in progress.
#pragma once

#include <cstdint>

// Opaque handles of the platform layer. Each platform casts its own objects to and from these;
// the portable code only stores, compares and passes them on.
struct PlatformInstance;
struct PlatformWindow;
struct PlatformDeviceContext;
struct PlatformRenderContext;
using InstanceHandle = PlatformInstance*;
using WindowHandle = PlatformWindow*;
using DeviceContextHandle = PlatformDeviceContext*;
using RenderContextHandle = PlatformRenderContext*;

// Booleans are 32-bit integers holding 0 or 1, as in Win32.
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct Keys {
    int32_t keyDown[256]; // 1 while the key with this virtual-key code is held
};

struct Application {
    InstanceHandle hInstance;
    const char* className;
    // Beyond the original record: a screen-saver preview or host has no user to click a box away,
    // so failures are reported on stderr alone.
    int32_t isQuiet;
};

struct GL_Window {
    Keys* keys;
    WindowHandle hWnd;
    DeviceContextHandle hDC;
    RenderContextHandle hRC;
    Application* application;
    const char* title;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel;
    int32_t isFullScreen; // wanted on entry to CreateWindowGL; afterwards: the mode really switched
    int32_t isVisible;
    uint32_t lastTickCount;
    // Beyond the original twelve fields, zero for the plain animation: full screen at the display's
    // own mode, without a mode switch; and the window's top-left corner on the screen (a window
    // over several monitors can start left of or above 0).
    int32_t keepsDisplayMode;
    int32_t x;
    int32_t y;
};

// The scene's hooks, called by the main loop.
BOOL Initialize(GL_Window* window, Keys* keys);
void Deinitialize();
void Update(uint32_t milliseconds);
void Draw();
// A frame after `steps` steps of the animation, none included: Draw() is DrawSteps(1).
void DrawSteps(uint32_t steps);
// Sets the scene's own view up for a drawing area of this size: its viewport and projection.
// Initialize does it for the window's requested size; the shell calls it after every change of
// the client area, so that a resized, maximised or restored window keeps the city's view.
void Reshape(int32_t width, int32_t height);
// Replaces the seed that Initialize took from the clock, before anything has drawn from it: the
// animation's whole course then follows from `seed`.
void SeedAnimation(uint32_t seed);

// The shell's requests, made by the scene and the window procedure.
void TerminateApplication(GL_Window* window);
void ToggleFullscreen(GL_Window* window);
