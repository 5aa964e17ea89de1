#include "shell/win32/win32_host.h"

#include "common/scene_record.h"
#include "shell/host_window.h"
#include "shell/surface_area.h"
#include "shell/win32/error_box.h"
#include "shell/win32/platform.h"
#include "shell/win32/platform_constants.h"
#include "shell/win32/saver_store.h"

#include <algorithm>

namespace {

constexpr int kExitClassRefused = -1;
constexpr int kExitSettingsNotStored = 1;
// How often a child looks at its host window while waiting: nothing tells a child that its host
// was shown again.
constexpr uint32_t kHiddenHostPollMs = 250;
constexpr uint32_t kWaitLong = 0xFFFFFFFFu;
constexpr int32_t kMaxMonitors = 16;

HostRect AreaOf(const PlatformMonitor& monitor) {
    const PlatformRect& area = monitor.rcMonitor;
    return HostRect{area.left, area.top, area.right - area.left, area.bottom - area.top};
}

} // namespace

Win32Host::Win32Host(InstanceHandle instance) {
    application_.hInstance = instance;
    application_.className = "OpenGL";
}

int Win32Host::Start(bool quiet) {
    application_.isQuiet = quiet ? TRUE : FALSE;
    if (RegisterWindowClass(&application_) == FALSE) {
        ShowErrorBox(&application_, "Error Registering Window Class!");
        return kExitClassRefused;
    }
    return 0;
}

void Win32Host::Finish() {
    PlatformUnregisterClass(application_.className, application_.hInstance);
}

std::vector<Output> Win32Host::Outputs() {
    PlatformMonitor monitors[kMaxMonitors];
    const int32_t count = PlatformEnumDisplayMonitors(monitors, kMaxMonitors);
    const int32_t refresh = PlatformGetDisplayFrequency();
    std::vector<Output> outputs;
    for (int32_t i = 0; i < count && i < kMaxMonitors; ++i) {
        Output output;
        output.id = static_cast<uint32_t>(i + 1);
        output.area = AreaOf(monitors[i]);
        output.primary = (monitors[i].dwFlags & kMonitorPrimary) != 0;
        output.refreshHz = output.primary ? refresh : 0;
        outputs.push_back(output);
    }
    return outputs;
}

HostWindow* Win32Host::Find(SurfaceId id) {
    for (HostWindow& window : windows_) {
        if (window.id == id) {
            return &window;
        }
    }
    return nullptr;
}

// What the system says of another program's window, for the shared judgement. Its parents are
// asked for only when the judgement needs them.
static HostWindowFacts HostFacts(WindowHandle window) {
    HostWindowFacts facts;
    facts.window = reinterpret_cast<uintptr_t>(window);
    facts.desktop = reinterpret_cast<uintptr_t>(PlatformGetDesktopWindow());
    PlatformRect client;
    facts.exists =
        PlatformIsWindow(window) == TRUE && PlatformGetClientRect(window, &client) == TRUE;
    if (facts.exists) {
        facts.width = client.right - client.left;
        facts.height = client.bottom - client.top;
        facts.shown = PlatformIsWindowVisible(window) == TRUE;
    }
    facts.parentOf = [](uintptr_t child) {
        return reinterpret_cast<uintptr_t>(
            PlatformGetParentWindow(reinterpret_cast<WindowHandle>(child)));
    };
    return facts;
}

// Where a full-screen window goes on today's monitors, and its size; false for an output that
// is not there (any more).
bool Win32Host::Place(const SurfaceRequest& request, GL_Window* gl) {
    if (request.kind != SurfaceKind::kDesktop && request.kind != SurfaceKind::kSpan &&
        request.kind != SurfaceKind::kOutput) {
        return true;
    }
    HostRect area;
    if (!SurfaceArea(request, Outputs(), &area)) {
        return false;
    }
    gl->x = area.x;
    gl->y = area.y;
    gl->width = area.width;
    gl->height = area.height;
    return true;
}

SurfaceId Win32Host::Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) {
    windows_.emplace_back();
    HostWindow& window = windows_.back();
    GL_Window& gl = window.gl;
    window.id = ++lastId_;
    window.events = &events_;
    window.keepsDisplayAwake = request.keepsDisplayAwake;
    window.sharedContext = context_;
    gl.application = &application_;
    gl.title = kWindowTitle;
    gl.bitsPerPixel = 32;
    gl.width = request.width;
    gl.height = request.height;
    window.request = request;
    gl.isFullScreen =
        request.kind != SurfaceKind::kWindow && request.kind != SurfaceKind::kChild ? TRUE : FALSE;
    // Full screen at the desktop's own mode needs no switch.
    gl.keepsDisplayMode = gl.isFullScreen == TRUE && request.kind != SurfaceKind::kFullScreen;
    bool placed = Place(request, &gl);
    if (request.kind == SurfaceKind::kChild) {
        window.parent = request.hostWindow == 0
                            ? PlatformGetDesktopWindow()
                            : reinterpret_cast<WindowHandle>(request.hostWindow);
        // The child takes its parent's client area.
        const HostWindowFacts facts = HostFacts(window.parent);
        placed = JudgeHostWindow(facts, request.hostMustBeOrdinary, why);
        gl.width = facts.width;
        gl.height = facts.height;
    }
    const size_t eventsBefore = events_.size();
    if (!placed || CreateWindowGL(&window) != TRUE) {
        windows_.pop_back();
        return 0;
    }
    // What the window said while it was made (its first size) is what the program sets up anyway.
    events_.resize(eventsBefore);
    context_ = gl.hRC;
    if (gl.isFullScreen == TRUE) {
        watchesDesktop_ = true;
        desktop_ = MonitorAreas();
    }
    info->fullScreen = gl.isFullScreen == TRUE;
    info->area = HostRect{gl.x, gl.y, gl.width, gl.height};
    return window.id;
}

void Win32Host::Hide(SurfaceId id) {
    HostWindow* window = Find(id);
    if (window != nullptr && window->gl.hWnd != nullptr && !window->gone) {
        PlatformShowWindow(window->gl.hWnd, SW_HIDE);
    }
}

bool Win32Host::Refit(SurfaceId id, SurfaceInfo* info) {
    HostWindow* window = Find(id);
    if (window == nullptr) {
        return false;
    }
    // Once made, the switched full screen is placed as the desktop-mode one: over the primary
    // monitor at the mode it has now, which the user may have set since the switch.
    SurfaceRequest placed = window->request;
    if (placed.kind == SurfaceKind::kFullScreen) {
        placed.kind = SurfaceKind::kDesktop;
    }
    if (!Place(placed, &window->gl)) {
        return false;
    }
    GL_Window& gl = window->gl;
    if (gl.isFullScreen == TRUE) {
        // The move brings the window's WM_SIZE, and with it the program's new view.
        PlatformMoveWindow(gl.hWnd, gl.x, gl.y, gl.width, gl.height, TRUE);
    }
    info->fullScreen = gl.isFullScreen == TRUE;
    info->area = HostRect{gl.x, gl.y, gl.width, gl.height};
    return true;
}

void Win32Host::Destroy(SurfaceId id) {
    for (auto it = windows_.begin(); it != windows_.end(); ++it) {
        if (it->id == id) {
            // The run's context goes with its last window, whichever window made it.
            const bool others = windows_.size() > 1;
            it->sharedContext = others ? it->gl.hRC : nullptr;
            DestroyWindowGL(&*it);
            if (!others) {
                context_ = nullptr;
            }
            windows_.erase(it);
            return;
        }
    }
}

bool Win32Host::MakeCurrent(SurfaceId id) {
    HostWindow* window = Find(id);
    return window != nullptr && PlatformMakeCurrent(window->gl.hDC, window->gl.hRC) == TRUE;
}

void Win32Host::Present(SurfaceId id) {
    if (HostWindow* window = Find(id)) {
        PlatformSwapBuffers(window->gl.hDC);
    }
}

bool Win32Host::SetSwapInterval(int32_t interval) {
    return PlatformSetSwapInterval(interval) == TRUE;
}

// A child window follows its parent's client area and visibility. Nothing tells a child that its
// parent changed size, so it looks; the move brings a WM_SIZE.
void Win32Host::FollowParents() {
    for (HostWindow& window : windows_) {
        if (window.parent == nullptr || window.gone || window.gl.hWnd == nullptr) {
            continue;
        }
        const HostWindowFacts now = HostFacts(window.parent);
        const HostWindowChange change =
            CompareHostWindow(now, window.gl.width, window.gl.height, window.gl.isVisible == TRUE);
        HostEvent event;
        event.surface = window.id;
        if (change.gone) {
            // The host went without destroying its child first.
            window.gone = true;
            event.kind = HostEventKind::kHostGone;
            events_.push_back(event);
            continue;
        }
        if (change.resized) {
            window.gl.width = now.width;
            window.gl.height = now.height;
            PlatformMoveWindow(window.gl.hWnd, 0, 0, now.width, now.height, TRUE);
        }
        // A hidden or unmapped host shows nothing of the city: the program rests until it is
        // shown again.
        if (change.shownChanged) {
            window.gl.isVisible = now.shown ? TRUE : FALSE;
            event.kind = now.shown ? HostEventKind::kShown : HostEventKind::kHidden;
            events_.push_back(event);
        }
    }
}

// The monitors' areas alone: the watch asks for them at every turn of the event loop, where the
// display's refresh rate, which Outputs() also reads, would cost a query of the display settings.
std::vector<HostRect> Win32Host::MonitorAreas() {
    PlatformMonitor monitors[kMaxMonitors];
    const int32_t count = PlatformEnumDisplayMonitors(monitors, kMaxMonitors);
    std::vector<HostRect> areas;
    for (int32_t i = 0; i < count && i < kMaxMonitors; ++i) {
        areas.push_back(AreaOf(monitors[i]));
    }
    return areas;
}

// The monitors, as a full-screen window last saw them. Not every system says when they change
// (Wine tells its programs nothing of a monitor that was switched off, moved or given another
// mode), so a change seen here is one too.
void Win32Host::WatchDesktop() {
    const std::vector<HostRect> now = MonitorAreas();
    const auto same = [](const HostRect& a, const HostRect& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    };
    if (!std::equal(now.begin(), now.end(), desktop_.begin(), desktop_.end(), same)) {
        desktop_ = now;
        HostEvent changed;
        changed.kind = HostEventKind::kOutputsChanged;
        events_.push_back(changed);
    }
}

bool Win32Host::NextEvent(HostEvent* event, uint32_t waitMs) {
    bool hasChild = false;
    for (const HostWindow& window : windows_) {
        hasChild = hasChild || window.parent != nullptr;
    }
    uint32_t left = waitMs;
    for (;;) {
        if (events_.empty()) {
            FollowParents();
        }
        if (events_.empty() && watchesDesktop_) {
            WatchDesktop();
        }
        // One message at a time, each dispatched to its window's procedure, until one of them
        // says something the program must hear.
        PlatformMessage message;
        while (events_.empty() &&
               PlatformPeekMessage(&message, windows_.empty() ? nullptr : windows_.front().gl.hWnd,
                                   0, 0, PM_REMOVE) == TRUE) {
            PlatformDispatchMessage(&message);
        }
        if (!events_.empty()) {
            *event = events_.front();
            events_.pop_front();
            return true;
        }
        if (left == 0) {
            return false;
        }
        if (left == kWaitLong && !hasChild) {
            PlatformWaitMessage();
            continue;
        }
        const uint32_t slice = hasChild && left > kHiddenHostPollMs ? kHiddenHostPollMs : left;
        if (PlatformWaitMessageTimeout(slice) == FALSE && left != kWaitLong) {
            // Timed out: one more look, then the caller's time is up.
            left -= slice;
        }
    }
}

uint32_t Win32Host::Ticks() {
    return PlatformGetTickCount();
}

void Win32Host::ShowError(const char* text) {
    ShowErrorBox(&application_, text);
}

SaverSettings Win32Host::StoredSaverSettings() {
    return LoadSaverSettings();
}

// The settings dialog, in front of the Screen Saver settings that asked for it (the system would
// refuse a dialog owned by a window that is not there). It starts from what is stored, and what
// the user accepts is stored; a cancelled dialog changes nothing.
int Win32Host::EditSaverSettings(uintptr_t ownerHandle) {
    WindowHandle owner = reinterpret_cast<WindowHandle>(ownerHandle);
    if (owner != nullptr && PlatformIsWindow(owner) == FALSE) {
        owner = nullptr;
    }
    SaverSettings settings = LoadSaverSettings();
    if (PlatformEditSaverSettings(application_.hInstance, owner, &settings) == FALSE) {
        return 0;
    }
    if (!StoreSaverSettings(settings)) {
        PlatformMessageBox(owner,
                           "The settings could not be stored: the screen saver keeps its "
                           "previous ones.",
                           "Error", MB_OK | MB_ICONEXCLAMATION);
        return kExitSettingsNotStored;
    }
    return 0;
}
