// Drawing inside a window of another program on X11: the window xscreensaver shows a saver in, the
// root window, or any window named by its id. SDL cannot be trusted with foreign windows (it
// listens to none of their events, and its OpenGL set-up assumes it created them), so this part
// speaks Xlib and GLX itself, on a display connection of its own.
//
// The drawing goes into a child window made here, filling the host: its visual is chosen for
// OpenGL with a depth buffer, whatever the host's own visual is, and it goes away with the host.
#pragma once

#include <cstdint>
#include <string>

namespace x11host {

using WindowId = unsigned long;

// The client size of any window on the display; false when it does not exist (any more).
bool GetSize(WindowId window, int32_t* width, int32_t* height);

// Whether a window and all its ancestors are mapped, so that it can be seen; false when it does
// not exist.
bool IsShown(WindowId window);
// The window's parent; 0 for the root and for a window that does not exist.
WindowId Parent(WindowId window);

// The window a saver host means by "the root": the virtual root that a saver daemon or a virtual
// desktop put over the real one, else the real root. 0 without a display.
WindowId DesktopWindow();

// Whether `window` is the screen's real root and a compositing manager runs on the screen: such a
// manager draws the windows itself, over the root, so that what is drawn there may never be seen.
bool RootUnderCompositor(WindowId window);

// A drawable child of `host`, width x height, with an RGBA, double-buffered visual that has at
// least the given depth and alpha bits. 0 with a reason on failure.
WindowId CreateChild(WindowId host, int32_t width, int32_t height, int depthBits, int alphaBits,
                     std::string* error);
void DestroyChild(WindowId child);
void ResizeChild(WindowId child, int32_t width, int32_t height);
void HideChild(WindowId child);

// OpenGL contexts for such a child, as opaque pointers.
void* CreateContext(WindowId child, std::string* error);
bool MakeCurrent(WindowId child, void* context); // a null context: none current
void DeleteContext(void* context);
void SwapBuffers(WindowId child);
// Display refreshes per swap of the child, through GLX_EXT_swap_control or
// GLX_MESA_swap_control; false when the driver has neither.
bool SetSwapInterval(WindowId child, int interval);

} // namespace x11host
