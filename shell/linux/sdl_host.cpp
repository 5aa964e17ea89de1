// The Linux host over SDL2, with Xlib and GLX for children of other programs' windows.
//
// Every surface draws with the run's one OpenGL context: SDL's, made with the first SDL window and
// made current on each in turn; or, for a child in a saver host's window, GLX's on that child.
#include "shell/linux/sdl_host.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <vector>

#include "common/scene_record.h"
#include "shell/host_window.h"
#include "shell/linux/message_box.h"
#include "shell/linux/power_supply.h"
#include "shell/linux/quit_watchdog.h"
#include "shell/linux/sdl_keys.h"
#include "shell/linux/window_choice.h"
#include "shell/linux/x11_host_window.h"
#include "shell/surface_area.h"

namespace {

// How long a quit signal waits for the frame in progress before the watchdog ends the program.
constexpr uint32_t kQuitGraceMs = 10000;
// How often a child looks at its host window while waiting: nothing tells it of the host's
// changes of size or visibility, or that it went.
constexpr uint32_t kHostPollMs = 250;
constexpr uint8_t kKeyAlt = 0x12;
constexpr uint8_t kKeyF4 = 0x73;
constexpr uint8_t kKeyF10 = 0x79;

class LinuxHost : public Host {
  public:
    int Start(bool quiet) override;
    void Finish() override {}
    std::vector<Output> Outputs() override;
    bool CanSpanOutputs() const override;
    SurfaceId Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) override;
    void Hide(SurfaceId surface) override;
    bool Refit(SurfaceId surface, SurfaceInfo* info) override;
    void Destroy(SurfaceId surface) override;
    bool MakeCurrent(SurfaceId surface) override;
    void Present(SurfaceId surface) override;
    int32_t BufferScale(SurfaceId surface) override;
    bool SetSwapInterval(int32_t interval) override;
    bool NextEvent(HostEvent* event, uint32_t waitMs) override;
    uint32_t Ticks() override { return SDL_GetTicks(); }
    bool OnBattery() override { return RunsOnBattery(PowerSupplyFolder()); }
    void ShowError(const char* text) override;
    SaverSettings StoredSaverSettings() override { return SaverSettings(); }
    int EditSaverSettings(uintptr_t owner) override;

  private:
    struct Surface {
        SurfaceId id = 0;
        SurfaceRequest request;
        SDL_Window* window = nullptr;
        x11host::WindowId host = 0; // a child's host window, and the child drawn in
        x11host::WindowId child = 0;
        int32_t width = 0;
        int32_t height = 0;
        bool minimised = false;
        bool hostShown = true;
        unsigned long xWindow = 0; // a background's own X window, whose visibility is watched
        bool obscured = false;
    };

    Surface* Find(SurfaceId id);
    Surface* FromWindowId(uint32_t windowId);
    bool CreateChild(Surface* surface, std::string* why);
    bool CreateWindow(Surface* surface, SurfaceInfo* info);
    bool MakeWindow(Surface* surface, const WindowChoice& choice, SurfaceInfo* info);
    void Push(HostEventKind kind, SurfaceId surface, int32_t width = 0, int32_t height = 0);
    void FollowHosts();
    void Translate(const SDL_Event& event);
    void TranslateWindowEvent(const SDL_WindowEvent& event);
    void TranslateKey(const SDL_KeyboardEvent& event);
    void UpdateDesktopState();
    uint32_t OutputId(const std::string& key);
    int DisplayIndex(uint32_t outputId);
    void WatchOutputs(SDL_Window* window);
    void MakeDesktopWindow(Surface* surface);
    void TranslateVisibility(const XVisibilityEvent& event);

    bool quiet_ = false;
    std::vector<Surface> surfaces_;
    SurfaceId lastId_ = 0;
    SDL_GLContext context_ = nullptr;
    void* childContext_ = nullptr;
    int32_t swapInterval_ = -1;
    std::deque<HostEvent> pending_;
    // Outputs keep their ids while they exist, known by name (or place): SDL's indices shift as
    // displays come and go.
    std::map<std::string, uint32_t> outputIds_;
    // X11: SDL 2.26 follows only outputs that are plugged in or out, so the outputs are read from
    // RandR on SDL's own connection, whose changes are taken from SDL's queue.
    Display* xDisplay_ = nullptr;
    int randrEvents_ = 0;
};

LinuxHost::Surface* LinuxHost::Find(SurfaceId id) {
    auto it = std::find_if(surfaces_.begin(), surfaces_.end(),
                           [id](const Surface& surface) { return surface.id == id; });
    return it != surfaces_.end() ? &*it : nullptr;
}

LinuxHost::Surface* LinuxHost::FromWindowId(uint32_t windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    auto it = std::find_if(surfaces_.begin(), surfaces_.end(), [window](const Surface& surface) {
        return window != nullptr && surface.window == window;
    });
    return it != surfaces_.end() ? &*it : nullptr;
}

int LinuxHost::Start(bool quiet) {
    quiet_ = quiet;
    // A screen saver lets the screen blank and power down on the system's schedule; only
    // surfaces that ask for it hold that off.
    SDL_EnableScreenSaver();
    // On X11 the outputs are RandR's from the start: the changes made before the first surface
    // are missing from SDL's own list. SDL lends its connection only through a window.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && SDL_strcmp(driver, "x11") == 0) {
        if (SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN)) {
            WatchOutputs(probe);
            SDL_DestroyWindow(probe);
        }
    }
    return 0;
}

// What tells an SDL display from the others while it exists: its name, which outputs of one make
// share, and its place on the desktop.
std::string DisplayKey(int index) {
    const char* name = SDL_GetDisplayName(index);
    SDL_Rect bounds{0, 0, 0, 0};
    SDL_GetDisplayBounds(index, &bounds);
    return std::string(name != nullptr ? name : "") + "@" + std::to_string(bounds.x) + "," +
           std::to_string(bounds.y);
}

uint32_t LinuxHost::OutputId(const std::string& key) {
    const auto found = outputIds_.find(key);
    if (found != outputIds_.end()) {
        return found->second;
    }
    const uint32_t id = static_cast<uint32_t>(outputIds_.size() + 1);
    outputIds_[key] = id;
    return id;
}

std::vector<Output> LinuxHost::Outputs() {
    std::vector<Output> outputs;
    SDL_DisplayMode mode;
    const int32_t refresh =
        SDL_GetCurrentDisplayMode(0, &mode) == 0 ? static_cast<int32_t>(mode.refresh_rate) : 0;
    if (xDisplay_ != nullptr) {
        int count = 0;
        XRRMonitorInfo* monitors =
            XRRGetMonitors(xDisplay_, DefaultRootWindow(xDisplay_), True, &count);
        for (int i = 0; i < count; ++i) {
            char* name = XGetAtomName(xDisplay_, monitors[i].name);
            Output output;
            output.id = OutputId(name != nullptr ? name : std::to_string(i));
            XFree(name);
            output.area =
                HostRect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
            output.primary = monitors[i].primary != 0;
            output.refreshHz = refresh;
            // The primary output first, as SDL lists it.
            outputs.insert(monitors[i].primary != 0 ? outputs.begin() : outputs.end(), output);
        }
        XRRFreeMonitors(monitors);
        if (!outputs.empty()) {
            // Without a primary monitor RandR's first one stands for it; marking it beside a
            // real primary one would give the city to two monitors in "primary".
            if (std::none_of(outputs.begin(), outputs.end(),
                             [](const Output& output) { return output.primary; })) {
                outputs.front().primary = true;
            }
            return outputs;
        }
    }
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0) {
            continue;
        }
        Output output;
        output.id = OutputId(DisplayKey(i));
        output.area = HostRect{bounds.x, bounds.y, bounds.w, bounds.h};
        // SDL lists the primary display first.
        output.primary = i == 0;
        if (SDL_GetCurrentDisplayMode(i, &mode) == 0) {
            output.refreshHz = mode.refresh_rate;
        }
        outputs.push_back(output);
    }
    return outputs;
}

// The SDL display of an output, by its key; -1 when it is not there.
int LinuxHost::DisplayIndex(uint32_t outputId) {
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i) {
        const auto found = outputIds_.find(DisplayKey(i));
        if (found != outputIds_.end() && found->second == outputId) {
            return i;
        }
    }
    return -1;
}

// On X11, RandR's notifications on SDL's own connection: the mask is per client, and keeps the
// output changes SDL itself listens to.
void LinuxHost::WatchOutputs(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    int errors = 0;
    if (xDisplay_ != nullptr || !SDL_GetWindowWMInfo(window, &info) ||
        info.subsystem != SDL_SYSWM_X11 ||
        !XRRQueryExtension(info.info.x11.display, &randrEvents_, &errors)) {
        return;
    }
    xDisplay_ = info.info.x11.display;
    // The X server keeps a client's first selection on a window and ignores later ones: SDL's
    // own (output changes only) is cleared first, or a mode or a move would go unnoticed.
    XRRSelectInput(xDisplay_, DefaultRootWindow(xDisplay_), 0);
    XRRSelectInput(xDisplay_, DefaultRootWindow(xDisplay_),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

// A Wayland client can neither place a window nor stretch one across outputs: a window as large
// as all of them would be laid on one output by the compositor, which centres it and cuts it off.
bool LinuxHost::CanSpanOutputs() const {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver == nullptr || SDL_strcmp(driver, "wayland") != 0;
}

// What X11 says of another program's window, for the shared judgement.
HostWindowFacts HostFacts(x11host::WindowId window) {
    HostWindowFacts facts;
    facts.window = window;
    facts.desktop = x11host::DesktopWindow();
    facts.exists = x11host::GetSize(window, &facts.width, &facts.height);
    facts.shown = facts.exists && x11host::IsShown(window);
    facts.parentOf = [](uintptr_t child) {
        return static_cast<uintptr_t>(x11host::Parent(static_cast<x11host::WindowId>(child)));
    };
    return facts;
}

bool LinuxHost::CreateChild(Surface* surface, std::string* why) {
    surface->host = surface->request.hostWindow != 0
                        ? static_cast<x11host::WindowId>(surface->request.hostWindow)
                        : x11host::DesktopWindow();
    const HostWindowFacts facts = HostFacts(surface->host);
    if (!JudgeHostWindow(facts, surface->request.hostMustBeOrdinary, why)) {
        return false;
    }
    surface->width = facts.width;
    surface->height = facts.height;
    if (x11host::RootUnderCompositor(surface->host)) {
        // It draws on, as a saver daemon's hacks do, for a manager that shows the root.
        std::fprintf(stderr, "zorvik: a compositing manager draws over the root window here, so "
                             "the city may not be seen; zorvik --wallpaper shows it behind the "
                             "windows on such a desktop\n");
    }
    std::string error;
    surface->child =
        x11host::CreateChild(surface->host, surface->width, surface->height, 16, 1, &error);
    if (surface->child == 0) {
        std::fprintf(stderr, "zorvik: %s\n", error.c_str());
        return false;
    }
    // What is made here before a failure, Destroy lets go of.
    childContext_ = x11host::CreateContext(surface->child, &error);
    if (childContext_ == nullptr) {
        std::fprintf(stderr, "zorvik: cannot create an OpenGL context: %s\n", error.c_str());
        return false;
    }
    return x11host::MakeCurrent(surface->child, childContext_);
}

// The sizes of the first display's modes deep enough for the city's colours.
std::vector<DisplayModeSize> OfferedModes() {
    std::vector<DisplayModeSize> sizes;
    SDL_DisplayMode mode;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && SDL_BITSPERPIXEL(mode.format) >= 24) {
            sizes.push_back(DisplayModeSize{mode.w, mode.h});
        }
    }
    return sizes;
}

// The first display's mode of that size.
bool FindMode(int32_t width, int32_t height, SDL_DisplayMode* mode) {
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, mode) == 0 && mode->w == width && mode->h == height &&
            SDL_BITSPERPIXEL(mode->format) >= 24) {
            return true;
        }
    }
    return false;
}

bool LinuxHost::CreateWindow(Surface* surface, SurfaceInfo* info) {
    const SurfaceRequest& request = surface->request;
    // The outputs as they are now: on X11 SDL's own list lags behind RandR.
    WindowChoice choice;
    if (!ChooseWindow(request, Outputs(),
                      request.kind == SurfaceKind::kFullScreen ? OfferedModes()
                                                               : std::vector<DisplayModeSize>(),
                      &choice)) {
        return false;
    }
    if (choice.box != nullptr) {
        ShowError(choice.box);
    }
    return MakeWindow(surface, choice, info);
}

// Before it is shown: a window the window manager keeps below every other as the desktop's, out of
// the taskbar and the pager, which the pointer's clicks go through to the root window. The X
// server tells when other windows cover it whole, and it then draws nothing.
void LinuxHost::MakeDesktopWindow(Surface* surface) {
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (xDisplay_ == nullptr || !SDL_GetWindowWMInfo(surface->window, &wm) ||
        wm.subsystem != SDL_SYSWM_X11) {
        return;
    }
    Display* display = wm.info.x11.display;
    const Window xWindow = wm.info.x11.window;
    auto atom = [display](const char* name) { return XInternAtom(display, name, False); };
    const Atom type = atom("_NET_WM_WINDOW_TYPE_DESKTOP");
    XChangeProperty(display, xWindow, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    const Atom states[] = {atom("_NET_WM_STATE_BELOW"), atom("_NET_WM_STATE_SKIP_TASKBAR"),
                           atom("_NET_WM_STATE_SKIP_PAGER"), atom("_NET_WM_STATE_STICKY")};
    XChangeProperty(display, xWindow, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(states), 4);
    int shapeEvents = 0, shapeErrors = 0;
    if (XShapeQueryExtension(display, &shapeEvents, &shapeErrors)) {
        XShapeCombineRectangles(display, xWindow, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
    }
    // The mask is per client and SDL's connection is ours: its own selection is kept. Under a
    // compositing manager the server never reports a window covered, and it draws on as it must.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, xWindow, &attributes)) {
        XSelectInput(display, xWindow, attributes.your_event_mask | VisibilityChangeMask);
        surface->xWindow = xWindow;
    }
    XFlush(display);
}

// A background covered whole by other windows (a full-screen one, or several) is out of sight
// until any part of it is seen again.
void LinuxHost::TranslateVisibility(const XVisibilityEvent& event) {
    for (Surface& surface : surfaces_) {
        if (surface.xWindow != event.window) {
            continue;
        }
        const bool obscured = event.state == VisibilityFullyObscured;
        if (obscured != surface.obscured) {
            surface.obscured = obscured;
            Push(obscured ? HostEventKind::kHidden : HostEventKind::kShown, surface.id);
        }
        return;
    }
}

bool LinuxHost::MakeWindow(Surface* surface, const WindowChoice& choice, SurfaceInfo* info) {
    int x = choice.area.x, y = choice.area.y;
    const int width = choice.area.width, height = choice.area.height;
    uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_DisplayMode mode;
    const bool switched = choice.switchMode && FindMode(width, height, &mode);
    switch (choice.kind) {
    case SurfaceKind::kWindow:
        flags |= SDL_WINDOW_RESIZABLE;
        break;
    case SurfaceKind::kFullScreen:
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
        break;
    case SurfaceKind::kDesktop:
    case SurfaceKind::kSpan: {
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
        // Where SDL agrees on the primary output's place, the window manager is told the window
        // is full screen, and puts it above panels and docks.
        SDL_Rect bounds;
        const SDL_Rect area{x, y, width, height};
        if (SDL_GetDisplayBounds(0, &bounds) == 0 && SDL_RectEquals(&bounds, &area)) {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
        break;
    }
    case SurfaceKind::kOutput: {
        // Wayland places windows itself: the output is named by SDL's display, whose index
        // shifts as outputs come and go.
        const int display = DisplayIndex(surface->request.output);
        if (display < 0) {
            return false;
        }
        x = static_cast<int>(SDL_WINDOWPOS_UNDEFINED_DISPLAY(display));
        y = x;
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        break;
    }
    case SurfaceKind::kBackground:
        // Only on X11, where a window manager keeps a desktop window below the others; a Wayland
        // background is the layer-shell host's.
        if (xDisplay_ == nullptr) {
            std::fprintf(stderr, "zorvik: a background needs an X11 desktop here\n");
            return false;
        }
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
        break;
    case SurfaceKind::kChild:
        return false;
    }

    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    surface->window = SDL_CreateWindow(kWindowTitle, x, y, width, height, flags);
    if (surface->window == nullptr) {
        std::fprintf(stderr, "zorvik: cannot create a window: %s\n", SDL_GetError());
        return false;
    }
    if (switched) {
        if (SDL_SetWindowDisplayMode(surface->window, &mode) != 0) {
            std::fprintf(stderr, "zorvik: cannot set the display mode: %s\n", SDL_GetError());
        }
        SetQuitWatchdogDisplaySwitched(true);
    }
    WatchOutputs(surface->window);
    if (context_ == nullptr) {
        context_ = SDL_GL_CreateContext(surface->window);
        if (context_ == nullptr) {
            std::fprintf(stderr, "zorvik: cannot create an OpenGL context: %s\n", SDL_GetError());
            return false;
        }
    }
    if (SDL_GL_MakeCurrent(surface->window, context_) != 0) {
        return false;
    }
    if (choice.kind == SurfaceKind::kBackground) {
        MakeDesktopWindow(surface);
        SDL_ShowWindow(surface->window);
    } else {
        SDL_ShowWindow(surface->window);
        SDL_RaiseWindow(surface->window);
        SDL_SetWindowInputFocus(surface->window);
    }
    SDL_GL_GetDrawableSize(surface->window, &surface->width, &surface->height);
    SDL_GetWindowPosition(surface->window, &x, &y);
    info->fullScreen = choice.kind != SurfaceKind::kWindow;
    info->area = HostRect{x, y, surface->width, surface->height};
    return true;
}

SurfaceId LinuxHost::Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) {
    Surface surface;
    surface.id = ++lastId_;
    surface.request = request;
    surfaces_.push_back(surface);
    Surface* made = &surfaces_.back();
    const bool created =
        request.kind == SurfaceKind::kChild ? CreateChild(made, why) : CreateWindow(made, info);
    if (!created) {
        Destroy(made->id);
        return 0;
    }
    if (request.kind == SurfaceKind::kChild) {
        info->fullScreen = false;
        info->area = HostRect{0, 0, made->width, made->height};
    }
    if (swapInterval_ >= 0) {
        SetSwapInterval(swapInterval_);
    }
    UpdateDesktopState();
    return made->id;
}

// SDL 2.26 sets a Wayland surface's buffer scale to the output's scale rounded up (2 at 1.5),
// and asks for no fractional scale: its drawable is that many times its size in desktop units.
int32_t LinuxHost::BufferScale(SurfaceId id) {
    const Surface* surface = Find(id);
    int width = 0, height = 0;
    if (surface == nullptr || surface->window == nullptr) {
        return 1;
    }
    SDL_GetWindowSize(surface->window, &width, &height);
    return width > 0 && surface->width > width ? (surface->width + width / 2) / width : 1;
}

// The pointer and the desktop's screen saver follow the surfaces that exist.
void LinuxHost::UpdateDesktopState() {
    bool hidesPointer = false, keepsAwake = false;
    for (const Surface& surface : surfaces_) {
        hidesPointer = hidesPointer || surface.request.hidesPointer;
        keepsAwake = keepsAwake || surface.request.keepsDisplayAwake;
    }
    SDL_ShowCursor(hidesPointer ? SDL_DISABLE : SDL_ENABLE);
    if (keepsAwake) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
}

void LinuxHost::Hide(SurfaceId id) {
    if (Surface* surface = Find(id)) {
        if (surface->window != nullptr) {
            SDL_HideWindow(surface->window);
        } else if (surface->child != 0) {
            x11host::HideChild(surface->child);
        }
    }
}

bool LinuxHost::Refit(SurfaceId id, SurfaceInfo* info) {
    Surface* surface = Find(id);
    if (surface == nullptr) {
        return false;
    }
    const SurfaceKind kind = surface->request.kind;
    // A window of its own output's is fitted to the output's new mode or scale by the
    // compositor, which tells it its size; SDL 2.26 keeps the size an output had at the start,
    // and a window made anew from it would come out of the wrong shape.
    if (kind == SurfaceKind::kOutput && DisplayIndex(surface->request.output) < 0) {
        return false;
    }
    if (kind == SurfaceKind::kBackground) {
        // Re-placed over its output as RandR has it now, or gone with it.
        HostRect area;
        if (!SurfaceArea(surface->request, Outputs(), &area)) {
            return false;
        }
        SDL_SetWindowPosition(surface->window, area.x, area.y);
        SDL_SetWindowSize(surface->window, area.width, area.height);
        SDL_GL_GetDrawableSize(surface->window, &surface->width, &surface->height);
        info->area = HostRect{area.x, area.y, surface->width, surface->height};
        return true;
    }
    if (kind == SurfaceKind::kSpan || kind == SurfaceKind::kDesktop) {
        // A window of the new shape first, on the same context, then the old one goes: the
        // context lives while any window does.
        Surface made;
        made.request = surface->request;
        if (!CreateWindow(&made, info)) {
            if (made.window != nullptr) {
                SDL_DestroyWindow(made.window);
            }
            SDL_GL_MakeCurrent(surface->window, context_);
            return true;
        }
        SDL_DestroyWindow(surface->window);
        surface->window = made.window;
        surface->width = made.width;
        surface->height = made.height;
        return true;
    }
    if (kind == SurfaceKind::kFullScreen && xDisplay_ != nullptr) {
        // SDL 2.26 keeps a full-screen window where the primary output was at the start: it is
        // moved over the primary output as it is now, and told its new size by the X server.
        const std::vector<Output> outputs = Outputs();
        SDL_SysWMinfo wm;
        SDL_VERSION(&wm.version);
        const Output* primary = PrimaryOutput(outputs);
        if (primary != nullptr && SDL_GetWindowWMInfo(surface->window, &wm)) {
            const HostRect& area = primary->area;
            XMoveResizeWindow(xDisplay_, wm.info.x11.window, area.x, area.y,
                              static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height));
            XFlush(xDisplay_);
        }
    }
    // A window on one output follows that output as the compositor resizes it.
    int x = 0, y = 0;
    if (surface->window != nullptr) {
        SDL_GL_GetDrawableSize(surface->window, &surface->width, &surface->height);
        SDL_GetWindowPosition(surface->window, &x, &y);
    }
    info->area = HostRect{x, y, surface->width, surface->height};
    return true;
}

void LinuxHost::Destroy(SurfaceId id) {
    Surface* surface = Find(id);
    if (surface == nullptr) {
        return;
    }
    if (surface->child != 0) {
        if (childContext_ != nullptr) {
            x11host::MakeCurrent(surface->child, nullptr);
            x11host::DeleteContext(childContext_);
            childContext_ = nullptr;
        }
        x11host::DestroyChild(surface->child);
    }
    const bool last = std::none_of(surfaces_.begin(), surfaces_.end(), [id](const Surface& s) {
        return s.id != id && s.window != nullptr;
    });
    if (surface->window != nullptr) {
        if (last && context_ != nullptr) {
            SDL_GL_MakeCurrent(surface->window, nullptr);
            SDL_GL_DeleteContext(context_);
            context_ = nullptr;
        }
        // SDL puts the desktop's mode back as a full-screen window goes.
        SDL_DestroyWindow(surface->window);
    }
    surfaces_.erase(surfaces_.begin() + (surface - surfaces_.data()));
    if (last) {
        SetQuitWatchdogDisplaySwitched(false);
    }
    UpdateDesktopState();
}

bool LinuxHost::MakeCurrent(SurfaceId id) {
    Surface* surface = Find(id);
    if (surface == nullptr) {
        return false;
    }
    if (surface->child != 0) {
        return x11host::MakeCurrent(surface->child, childContext_);
    }
    return SDL_GL_MakeCurrent(surface->window, context_) == 0;
}

void LinuxHost::Present(SurfaceId id) {
    if (Surface* surface = Find(id)) {
        if (surface->child != 0) {
            x11host::SwapBuffers(surface->child);
        } else if (surface->window != nullptr) {
            SDL_GL_SwapWindow(surface->window);
        }
    }
}

bool LinuxHost::SetSwapInterval(int32_t interval) {
    swapInterval_ = interval;
    bool set = !surfaces_.empty();
    for (const Surface& surface : surfaces_) {
        if (surface.child != 0) {
            set = x11host::SetSwapInterval(surface.child, interval) && set;
        } else {
            // With several windows, each swap waiting for its own output would let one that
            // stalls (powered off) stall them all: the program's own pacing keeps the rate.
            const bool several = std::count_if(surfaces_.begin(), surfaces_.end(),
                                               [](const Surface& s) { return s.window; }) > 1;
            set = SDL_GL_SetSwapInterval(several ? 0 : interval) == 0 && set;
        }
    }
    return set;
}

void LinuxHost::Push(HostEventKind kind, SurfaceId surface, int32_t width, int32_t height) {
    HostEvent event;
    event.kind = kind;
    event.surface = surface;
    event.width = width;
    event.height = height;
    pending_.push_back(event);
}

// A child follows its host's size and visibility, and ends with it.
void LinuxHost::FollowHosts() {
    for (Surface& surface : surfaces_) {
        if (surface.child == 0) {
            continue;
        }
        const HostWindowFacts now = HostFacts(surface.host);
        const HostWindowChange change =
            CompareHostWindow(now, surface.width, surface.height, surface.hostShown);
        if (change.gone) {
            Push(HostEventKind::kHostGone, surface.id);
            continue;
        }
        if (change.resized) {
            surface.width = now.width;
            surface.height = now.height;
            x11host::ResizeChild(surface.child, now.width, now.height);
            if (now.shown) {
                Push(HostEventKind::kResized, surface.id, now.width, now.height);
            }
        }
        if (change.shownChanged) {
            surface.hostShown = now.shown;
            Push(now.shown ? HostEventKind::kShown : HostEventKind::kHidden, surface.id);
        }
    }
}

void LinuxHost::TranslateWindowEvent(const SDL_WindowEvent& event) {
    Surface* surface = FromWindowId(event.windowID);
    if (surface == nullptr) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST: {
        // Focus passing between the program's own surfaces is not a loss.
        SDL_Window* focused = SDL_GetKeyboardFocus();
        if (focused == nullptr ||
            std::none_of(surfaces_.begin(), surfaces_.end(),
                         [focused](const Surface& s) { return s.window == focused; })) {
            Push(HostEventKind::kFocusLost, surface->id);
        }
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Push(HostEventKind::kFocusGained, surface->id);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Push(HostEventKind::kCloseRequested, surface->id);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        surface->minimised = true;
        Push(HostEventKind::kHidden, surface->id);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        // The drawable, in pixels: at an output scale above 1 it is larger than the window.
        int width = 0, height = 0;
        SDL_GL_GetDrawableSize(surface->window, &width, &height);
        const bool minimised = (SDL_GetWindowFlags(surface->window) & SDL_WINDOW_MINIMIZED) != 0;
        // SDL also repeats the size a window already has.
        if (!minimised &&
            (surface->minimised || width != surface->width || height != surface->height)) {
            surface->minimised = false;
            surface->width = width;
            surface->height = height;
            Push(HostEventKind::kResized, surface->id, width, height);
        }
        break;
    }
    default:
        break;
    }
}

void LinuxHost::TranslateKey(const SDL_KeyboardEvent& event) {
    Surface* surface = FromWindowId(event.windowID);
    if (surface == nullptr) {
        if (surfaces_.empty()) {
            return;
        }
        surface = &surfaces_.back();
    }
    const uint8_t key = VirtualKeyFromScancode(event.keysym.scancode);
    if (key == 0) {
        return;
    }
    const bool down = event.type == SDL_KEYDOWN;
    // With Alt held, and for F10 and Alt themselves, keys are the system's, as on Windows.
    const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
    if (down && alt && key == kKeyF4) {
        Push(HostEventKind::kCloseRequested, surface->id);
        return;
    }
    HostEvent out;
    out.kind = HostEventKind::kKey;
    out.surface = surface->id;
    out.key = key;
    out.down = down;
    out.withAlt = alt || key == kKeyF10 || key == kKeyAlt;
    pending_.push_back(out);
}

void LinuxHost::Translate(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT: // SIGINT or SIGTERM
        Push(HostEventKind::kQuitSignal, 0);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN: {
        const bool motion = event.type == SDL_MOUSEMOTION;
        Surface* surface = FromWindowId(motion ? event.motion.windowID : event.button.windowID);
        if (surface == nullptr ||
            (motion ? event.motion.which : event.button.which) == SDL_TOUCH_MOUSEID) {
            break;
        }
        HostEvent out;
        out.kind = motion ? HostEventKind::kPointerMove : HostEventKind::kPointerButton;
        out.surface = surface->id;
        out.x = motion ? event.motion.x : event.button.x;
        out.y = motion ? event.motion.y : event.button.y;
        pending_.push_back(out);
        break;
    }
    case SDL_DISPLAYEVENT:
        Push(HostEventKind::kOutputsChanged, 0);
        break;
    case SDL_SYSWMEVENT: {
        if (event.syswm.msg->subsystem != SDL_SYSWM_X11) {
            break;
        }
        XEvent* x = &event.syswm.msg->msg.x11.event;
        if (x->type == VisibilityNotify) {
            TranslateVisibility(x->xvisibility);
        } else if (randrEvents_ != 0 && (x->type == randrEvents_ + RRScreenChangeNotify ||
                                         x->type == randrEvents_ + RRNotify)) {
            XRRUpdateConfiguration(x);
            Push(HostEventKind::kOutputsChanged, 0);
        }
        break;
    }
    default:
        break;
    }
}

bool LinuxHost::NextEvent(HostEvent* event, uint32_t waitMs) {
    const uint32_t start = SDL_GetTicks();
    for (;;) {
        if (pending_.empty()) {
            FollowHosts();
        }
        if (!pending_.empty()) {
            *event = pending_.front();
            pending_.pop_front();
            return true;
        }
        SDL_Event sdlEvent;
        const uint32_t waited = SDL_GetTicks() - start;
        if (waitMs == 0 || waited >= waitMs) {
            if (!SDL_PollEvent(&sdlEvent)) {
                return false;
            }
        } else {
            const bool children = std::any_of(surfaces_.begin(), surfaces_.end(),
                                              [](const Surface& s) { return s.child != 0; });
            const uint32_t slice = std::min(waitMs - waited, children ? kHostPollMs : waitMs);
            if (!SDL_WaitEventTimeout(&sdlEvent,
                                      static_cast<int>(std::min<uint32_t>(slice, 0x7FFFFFFF)))) {
                continue;
            }
        }
        Translate(sdlEvent);
    }
}

void LinuxHost::ShowError(const char* text) {
    if (quiet_) {
        std::fprintf(stderr, "zorvik: %s\n", text);
        std::fflush(stderr);
        return;
    }
    // Also on stderr, which is all there is where no box can be shown.
    std::fprintf(stderr, "zorvik: Error: %s\n", text);
    std::fflush(stderr);
    ShowBoxUntilClosedOrSignalled(SDL_MESSAGEBOX_WARNING, "Error", text, nullptr);
}

int LinuxHost::EditSaverSettings(uintptr_t) {
    static const char text[] = "zorvik - tavrin 2005\n\n"
                               "An endless abstract night city, animated.\n"
                               "On Linux the screen saver's settings are xscreensaver's:\n"
                               "choose Zorvik in xscreensaver-settings to set its speed.";
    std::fprintf(stderr, "zorvik: %s\n", text);
    std::fflush(stderr);
    ShowBoxUntilClosedOrSignalled(SDL_MESSAGEBOX_INFORMATION, "zorvik", text, nullptr);
    return 0;
}

} // namespace

bool SdlStartVideo(std::string* error) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        return true;
    }
    // Only SIGINT and SIGTERM end the program through SDL_QUIT; closing a window is reported by
    // the window's own close event.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // SDL would suspend the X screen saver as it starts, and without a session bus its
    // SDL_EnableScreenSaver never lifts that; only the surfaces that ask for it suspend it.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Set before SDL starts: SDL's X11 driver keeps the handler it finds and passes refusals on to
    // it once it has put the desktop's display mode back.
    XSetErrorHandler(ReportRefusedRequest);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        *error = SDL_GetError();
        return false;
    }
    // Without a display SDL falls back to drivers that draw nowhere; unless one was asked for by
    // name, that means there is no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    const bool invisible = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 ||
                                                 SDL_strcmp(driver, "dummy") == 0);
    if (invisible && (wanted == nullptr || SDL_strcasecmp(wanted, driver) != 0)) {
        *error =
            std::string("no display found; SDL offered only its \"") + driver + "\" video driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    // After SDL's own handlers, which it puts in place as the video starts.
    StartQuitWatchdog(kQuitGraceMs);
    return true;
}

void SdlStopVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    SDL_Quit();
}

std::unique_ptr<Host> MakeLinuxHost() {
    return std::make_unique<LinuxHost>();
}
