// The Windows host's window with its OpenGL rendering context: the window class, the temporary
// full-screen display mode, creation and destruction of the window with its context, and the
// viewport and projection that follow a change of size.
#pragma once

#include <deque>

#include "common/gl_window.h"
#include "shell/host.h"

// A window of the host: the shell's record, with what the host keeps beside it.
struct HostWindow {
    GL_Window gl{};
    SurfaceId id = 0;
    SurfaceRequest request; // what the window was asked to be
    // A child's host window (a preview's, or the desktop); null for the program's own windows.
    WindowHandle parent = nullptr;
    // Destroyed by its host behind the program's back: nothing left to destroy.
    bool gone = false;
    // The screen saver and the monitor's power-down are held off while this window exists.
    bool keepsDisplayAwake = false;
    // Where its window procedure leaves the events it makes.
    std::deque<HostEvent>* events = nullptr;
    // The run's rendering context, made with an earlier window that still lives: this window
    // draws with it instead of a context of its own, and leaves it to the host to delete.
    RenderContextHandle sharedContext = nullptr;
};

// Registers the window class named by the record; shows a message box and returns FALSE when the
// system refuses it.
BOOL RegisterWindowClass(Application* application);

// Switches the display to width x height at bitsPerPixel until the process ends or the mode is
// restored; TRUE only when the system reports success.
BOOL ChangeScreenResolution(int32_t width, int32_t height, int32_t bitsPerPixel);

// Creates the window with its device context, pixel format and current rendering context (the
// shared one where the record names it). TRUE with all three handles set, or FALSE with all three
// null, the display as it was and a shared context untouched.
BOOL CreateWindowGL(HostWindow* window);

// Releases whatever the record holds and restores the display mode after full screen. Always TRUE.
BOOL DestroyWindowGL(HostWindow* window);

// Viewport and projection for a client area of width x height; leaves the model-view matrix
// selected and reset.
void ReshapeGL(int32_t width, int32_t height);
