// The Linux platform's windows and their drawing surfaces.
//
// The window records, their procedures and message queues are the platform's, whatever a window
// is drawn on. What depends on the surface is behind a table of operations, chosen once when the
// window is made: an SDL window of the program's own (platform_sdl.cpp), or a child that Xlib and
// GLX make inside another program's window, a saver host's (platform_x11_host.cpp). SDL cannot be
// trusted with foreign windows: it listens to none of their events, and its OpenGL set-up assumes
// it created them.
#pragma once

#include <SDL.h>
#include <cstdint>
#include <deque>
#include <string>

#include "shell/platform.h"

struct SurfaceOps;

struct LinuxWindow {
    const SurfaceOps* surface = nullptr;
    WindowProcedure procedure = nullptr;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::string title;
    int32_t clientX = 0;
    int32_t clientY = 0;
    int32_t clientWidth = 0;
    int32_t clientHeight = 0;
    intptr_t userData = 0;
    bool shown = false;
    std::deque<PlatformMessage> posted;
    SDL_Window* native = nullptr; // an SDL surface's window, once realised
    unsigned long host = 0;       // an X11 host surface's host, and the child drawn in
    unsigned long hostChild = 0;
};

struct SurfaceOps {
    // Whether the window holds the desktop's screen saver off while it exists: a saver host's
    // window is the screen saver, and holding the saver off would fight its host.
    bool holdsScreenSaverOff;
    // Shows or hides the window; whether it was shown before. Showing it the first time sends
    // its WM_SIZE.
    bool (*show)(LinuxWindow* window, bool show);
    void (*destroy)(LinuxWindow* window);
    void (*move)(LinuxWindow* window, int32_t x, int32_t y, int32_t width, int32_t height);
    bool (*isVisible)(const LinuxWindow* window);
    // The window's one pixel format: the surface is made with a matching visual.
    bool (*setPixelFormat)(LinuxWindow* window, const PlatformPixelFormat& format);
    RenderContextHandle (*createContext)(LinuxWindow* window);
    // A null context: none current.
    bool (*makeCurrent)(LinuxWindow* window, RenderContextHandle context);
    // False when the context is not one of this surface's.
    bool (*deleteContext)(RenderContextHandle context);
    bool (*setSwapInterval)(LinuxWindow* window, int32_t interval);
    void (*swapBuffers)(LinuxWindow* window);
};

extern const SurfaceOps kSdlSurface;
extern const SurfaceOps kX11HostSurface;

// Sends a window its WM_SIZE, as Windows does on every change of the client area.
void SendSizeMessage(LinuxWindow* window, uintptr_t kind, int32_t width, int32_t height);
