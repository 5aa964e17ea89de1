// The seam between the program and the system it runs on.
//
// The program (shell/program.h) is written once against this interface; each system has a host
// beneath it: the Windows host over user32, gdi32 and opengl32 (shell/win32/), the Linux host over
// SDL2 with an X11 child surface for saver hosts (shell/linux/), and a scriptable fake for the
// tests (shell/testing/). A host speaks in plain terms (outputs, surfaces, events) and keeps its
// system's own vocabulary to itself.
//
// Every surface of a run draws with one OpenGL context, which the host makes current on the
// surface the program is about to draw. The scene keeps its only texture in texture object 0,
// which contexts do not share, so there is never more than one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/saver_settings.h"

struct HostRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// One output (a monitor) of the desktop.
struct Output {
    uint32_t id = 0; // stable while the output exists
    HostRect area;   // on the desktop, in the desktop's units
    bool primary = false;
    int32_t refreshHz = 0; // 0 when the system does not say
    float scale = 1.0f;    // pixels per desktop unit
};

enum class SurfaceKind {
    kWindow,     // a framed window whose drawing area is width x height
    kFullScreen, // full screen at width x height, the display switched to that mode
    kDesktop,    // full screen on the primary output at the desktop's own mode
    kSpan,       // one borderless surface over every output, at the desktop's own mode
    kOutput,     // full screen on one output at the desktop's own mode
    kChild,      // inside another program's window, filling it and following its size
    kBackground, // the desktop's background on one output (or across all of them for output 0):
                 // below every window, taking no input, not counted as activity
};

struct SurfaceRequest {
    SurfaceKind kind = SurfaceKind::kWindow;
    int32_t width = 1280; // kWindow, kFullScreen
    int32_t height = 720;
    uint32_t output = 0;      // kOutput, kBackground: the output's id
    uintptr_t hostWindow = 0; // kChild: the other program's window; 0 the desktop (root window)
    // kChild: the window must be an ordinary one on the desktop (a preview's), not the desktop.
    bool hostMustBeOrdinary = false;
    bool hidesPointer = false;
    // The screen saver and the display's power-down are held off while the surface exists.
    bool keepsDisplayAwake = false;
};

using SurfaceId = uint32_t; // 0: none

// What a host shows when the display refuses a full screen's mode, before the run goes on in a
// window of the requested size.
constexpr char kModeRefusedText[] = "Mode Switch Failed.\nRunning In Windowed Mode.";

// What a surface became.
struct SurfaceInfo {
    bool fullScreen = false; // false also when a mode switch was refused and a window came instead
    HostRect area;           // on the desktop; its drawable size in pixels is width x height
};

enum class HostEventKind {
    kKey,            // key (a virtual-key code) down or up
    kPointerMove,    // x, y within the surface
    kPointerButton,  // a button pressed at x, y
    kResized,        // the drawable is now width x height, and shown
    kHidden,         // minimised, covered or otherwise out of sight: nothing to draw
    kShown,          // back in sight at its size
    kCloseRequested, // the close box, Alt+F4, a window manager's request
    kFocusLost,      // none of the program's surfaces has the focus any more
    kFocusGained,    // one of them has it (again)
    kOutputsChanged, // an output came, went or changed
    kHostGone,       // the window a child surface lived in has gone
    kQuitSignal,     // the system asks the program to end (SIGTERM, SIGINT)
};

struct HostEvent {
    HostEventKind kind = HostEventKind::kKey;
    SurfaceId surface = 0;
    uint8_t key = 0;
    bool down = false;
    bool withAlt = false; // a key pressed or released while Alt is held: the system's, not ours
    int32_t x = 0, y = 0; // kPointerMove, kPointerButton
    int32_t width = 0, height = 0; // kResized
};

class Host {
  public:
    virtual ~Host() = default;

    // Before the first surface. 0, or the exit code of a run that cannot start, the reason
    // already shown. A quiet run reports failures on stderr only: a saver's preview or host has
    // nobody in front of it to click a box away.
    virtual int Start(bool quiet) = 0;
    virtual void Finish() = 0;

    virtual std::vector<Output> Outputs() = 0;
    // Whether one surface can cover several outputs (Windows and X11 yes, Wayland no).
    virtual bool CanSpanOutputs() const = 0;

    // A new surface with the run's context current on it; 0 when it cannot be made, the host
    // having put back whatever it changed (a display mode, the pointer), with the reason in
    // `why` when it is the host window's.
    virtual SurfaceId Create(const SurfaceRequest& request, SurfaceInfo* info,
                             std::string* why) = 0;
    // Out of sight at once; destroyed later.
    virtual void Hide(SurfaceId surface) = 0;
    // Puts a surface back over what its request names on today's outputs (all of them, one
    // output's whole area, the primary one's) with the run's context kept; false when that cannot
    // be, its output having gone.
    virtual bool Refit(SurfaceId surface, SurfaceInfo* info) = 0;
    virtual void Destroy(SurfaceId surface) = 0;
    virtual bool MakeCurrent(SurfaceId surface) = 0;
    virtual void Present(SurfaceId surface) = 0;
    // Whether the surface is ready for its next frame: false while a compositor has not yet asked
    // for one after the last, when a frame drawn would never be shown. The host then sends
    // kShown for it once it asks.
    virtual bool FrameWanted(SurfaceId) { return true; }
    // Drawable pixels per unit of the surface's size on the desktop: a Wayland surface's buffer
    // scale, a whole number that the compositor scales down to a fractional output scale.
    virtual int32_t BufferScale(SurfaceId) { return 1; }
    // Display refreshes each Present waits for (0 none), for every surface; false when the
    // driver cannot.
    virtual bool SetSwapInterval(int32_t interval) = 0;

    // The next event, waiting up to `waitMs` for one (0: never waits). False when none came.
    virtual bool NextEvent(HostEvent* event, uint32_t waitMs) = 0;
    virtual uint32_t Ticks() = 0; // milliseconds, wrapping at 2^32

    // Whether the machine runs on battery now; false where the system does not say.
    virtual bool OnBattery() { return false; }

    // A failure the user must see: a box titled "Error", or a line on stderr in a quiet run.
    virtual void ShowError(const char* text) = 0;

    // The screen saver's stored settings (defaults where the system keeps none), and the
    // settings dialog in front of `owner`: the exit code of the settings mode.
    virtual SaverSettings StoredSaverSettings() = 0;
    virtual int EditSaverSettings(uintptr_t owner) = 0;
};
