#include "shell/win32/win32_host.h"

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

// Why a host's window cannot take the city, or null when it can. The preview's host must be an
// ordinary window: the desktop would give a window over the whole screen that nothing ends, and a
// message-only window (whose ancestors never reach the desktop) one that nobody ever sees.
const char* Win32Host::HostProblem(const SurfaceRequest& request, WindowHandle host) {
    if (PlatformIsWindow(host) == FALSE) {
        return "there is no such window to draw in";
    }
    if (!request.hostMustBeOrdinary) {
        return nullptr;
    }
    const WindowHandle desktop = PlatformGetDesktopWindow();
    if (host == desktop) {
        return "the desktop is no preview window";
    }
    // Windows nest only so deep; the bound keeps a window system that loops from hanging here.
    WindowHandle ancestor = host;
    for (int depth = 0; depth < 256 && ancestor != nullptr; ++depth) {
        ancestor = PlatformGetParentWindow(ancestor);
        if (ancestor == desktop) {
            return nullptr;
        }
    }
    return "the window is not on the desktop";
}

// Where a full-screen window goes on today's monitors, and its size; false for an output that
// is not there (any more).
bool Win32Host::Place(const SurfaceRequest& request, GL_Window* gl) {
    switch (request.kind) {
    case SurfaceKind::kDesktop:
        gl->width = PlatformGetSystemMetrics(SM_CXSCREEN);
        gl->height = PlatformGetSystemMetrics(SM_CYSCREEN);
        return true;
    case SurfaceKind::kSpan:
    case SurfaceKind::kOutput: {
        // Every monitor, whose union can begin left of or above the primary one.
        gl->x = PlatformGetSystemMetrics(SM_XVIRTUALSCREEN);
        gl->y = PlatformGetSystemMetrics(SM_YVIRTUALSCREEN);
        gl->width = PlatformGetSystemMetrics(SM_CXVIRTUALSCREEN);
        gl->height = PlatformGetSystemMetrics(SM_CYVIRTUALSCREEN);
        if (request.kind == SurfaceKind::kSpan) {
            return true;
        }
        for (const Output& output : Outputs()) {
            if (output.id == request.output) {
                gl->x = output.area.x;
                gl->y = output.area.y;
                gl->width = output.area.width;
                gl->height = output.area.height;
                return true;
            }
        }
        return false;
    }
    default:
        return true;
    }
}

SurfaceId Win32Host::Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) {
    windows_.emplace_back();
    HostWindow& window = windows_.back();
    GL_Window& gl = window.gl;
    window.id = ++lastId_;
    window.events = &events_;
    window.keepsDisplayAwake = request.keepsDisplayAwake;
    gl.application = &application_;
    gl.title = "zorvik - tavrin 2005";
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
        PlatformRect client;
        if (const char* problem = HostProblem(request, window.parent)) {
            *why = problem;
            placed = false;
        } else {
            placed = PlatformGetClientRect(window.parent, &client) == TRUE;
            gl.width = client.right - client.left;
            gl.height = client.bottom - client.top;
            placed = placed && gl.width > 0 && gl.height > 0;
        }
    }
    const size_t eventsBefore = events_.size();
    if (!placed || CreateWindowGL(&window) != TRUE) {
        windows_.pop_back();
        return 0;
    }
    // What the window said while it was made (its first size) is what the program sets up anyway.
    events_.resize(eventsBefore);
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
            DestroyWindowGL(&*it);
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
        PlatformRect client;
        if (PlatformGetClientRect(window.parent, &client) == FALSE) {
            // The host went without destroying its child first.
            window.gone = true;
            HostEvent gone;
            gone.kind = HostEventKind::kHostGone;
            gone.surface = window.id;
            events_.push_back(gone);
            continue;
        }
        const int32_t width = client.right - client.left;
        const int32_t height = client.bottom - client.top;
        if (width > 0 && height > 0 && (width != window.gl.width || height != window.gl.height)) {
            window.gl.width = width;
            window.gl.height = height;
            PlatformMoveWindow(window.gl.hWnd, 0, 0, width, height, TRUE);
        }
        // A hidden or unmapped host shows nothing of the city: the program rests until it is
        // shown again.
        const BOOL shown = PlatformIsWindowVisible(window.parent);
        if ((shown == TRUE) != (window.gl.isVisible == TRUE)) {
            window.gl.isVisible = shown;
            HostEvent event;
            event.kind = shown == TRUE ? HostEventKind::kShown : HostEventKind::kHidden;
            event.surface = window.id;
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
