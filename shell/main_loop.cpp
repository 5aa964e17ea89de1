// The entry point: an outer loop that creates one window per display mode and an inner loop that
// pumps that window's messages and runs a frame whenever the queue is empty.
#include "shell/main_loop.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "shell/error_box.h"
#include "shell/monitor_views.h"
#include "shell/pacing.h"
#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/rate_overlay.h"
#include "shell/window.h"

BOOL g_isProgramLooping;
BOOL g_createFullScreen;

namespace {

constexpr int kExitWindowFailed = 1;
constexpr int kExitSettingsNotStored = 1;

constexpr int32_t kDefaultWidth = 1280;
constexpr int32_t kDefaultHeight = 720;
constexpr int32_t kMaxMonitors = 16;

// What the plan asks of the frames: their pace, their rate, the monitors' views and the rate
// report. None of it exists for a plain start, whose frames each run exactly one step, back to
// back, into the whole window.
struct FramePacing {
    explicit FramePacing(const RunPlan& plan)
        : paced(plan.stepsPerSecond != 0), pacer(plan.stepsPerSecond), limited(plan.maxFps != 0),
          limiter(plan.maxFps), reportsRates(plan.reportsRates), showsRates(plan.showRates),
          overlayText(RateOverlayText(false, 0, 0)) {}
    bool paced;
    StepPacer pacer;
    bool limited;
    FrameLimiter limiter;
    // When the limiter lets the next frame start; the wait for it is a wait for input, so that a
    // key or a close request is acted on at once instead of after the wait.
    bool hasNextFrameTick = false;
    uint32_t nextFrameTick = 0;
    bool reportsRates;
    RateReport report;
    // The rates on the screen, brought up to date every second.
    bool showsRates;
    RateReport overlayRates{1000};
    std::string overlayText;
    // Several monitors, each with a view of its own (empty: one view of the whole window).
    std::vector<MonitorView> views;
    bool blackAround = false;
};

// A display that names no refresh rate is taken to show 60 frames a second.
constexpr int32_t kAssumedRefreshRate = 60;

// How often a hidden host is looked at again: nothing tells a child that its host was shown.
constexpr uint32_t kHiddenHostPollMs = 250;

// Hands a new window to the scene, with the chosen seed in place of the clock's.
BOOL StartScene(GL_Window* window, const RunPlan& plan) {
    if (Initialize(window, window->keys) == FALSE) {
        return FALSE;
    }
    if (plan.seedGiven) {
        SeedAnimation(plan.seed);
    }
    return TRUE;
}

// What the plan asks of a new window's frames: the swap interval, the limit of one frame per
// display refresh, and the monitors' views over a window that covers them all.
void PrepareFrames(const GL_Window* window, const RunPlan& plan, FramePacing* pacing) {
    if (plan.swapInterval >= 0) {
        PlatformSetSwapInterval(plan.swapInterval);
    }
    if (plan.limitsToRefresh) {
        // Drivers that ignore the swap interval would otherwise draw as fast as they can.
        const int32_t refresh = PlatformGetDisplayFrequency();
        pacing->limited = true;
        pacing->limiter =
            FrameLimiter(static_cast<uint32_t>(refresh > 0 ? refresh : kAssumedRefreshRate));
        pacing->hasNextFrameTick = false;
    }
    pacing->views.clear();
    pacing->blackAround = false;
    if (plan.placement == Placement::kEveryMonitor) {
        PlatformMonitor monitors[kMaxMonitors];
        const int32_t count = PlatformEnumDisplayMonitors(monitors, kMaxMonitors);
        pacing->views = PlanMonitorViews(
            plan.monitors, monitors, count < kMaxMonitors ? count : kMaxMonitors, window->x,
            window->y, window->width, window->height, &pacing->blackAround);
    }
}

// A child window follows its parent's client area. Nothing tells a child that its parent changed
// size, so it looks before every frame. The move brings a WM_SIZE, on which the scene sets its
// view up for the new shape and carries on. False when the parent has gone.
bool FollowParent(GL_Window* window) {
    PlatformRect client;
    if (PlatformGetClientRect(window->parent, &client) == FALSE) {
        return false;
    }
    const int32_t width = client.right - client.left;
    const int32_t height = client.bottom - client.top;
    if (width > 0 && height > 0 && (width != window->width || height != window->height)) {
        window->width = width;
        window->height = height;
        PlatformMoveWindow(window->hWnd, 0, 0, width, height, TRUE);
    }
    return true;
}

// One frame: the scene steps and draws, and the picture is shown.
void RunFrame(GL_Window* window, FramePacing* pacing) {
    const uint32_t tickCount = PlatformGetTickCount();
    // Unsigned subtraction: a wrap of the tick counter still gives the true difference.
    Update(tickCount - window->lastTickCount);
    window->lastTickCount = tickCount;
    const uint32_t steps = pacing->pacer.StepsFor(tickCount);
    const std::string* overlay = pacing->showsRates ? &pacing->overlayText : nullptr;
    if (!pacing->views.empty()) {
        DrawMonitorViews(pacing->views, pacing->blackAround, window->height, steps, overlay);
    } else {
        if (pacing->paced) {
            DrawSteps(steps);
        } else {
            Draw();
        }
        if (overlay != nullptr) {
            DrawRateOverlayInViewport(*overlay);
        }
    }
    PlatformSwapBuffers(window->hDC);
    if (!pacing->limited && !pacing->reportsRates && !pacing->showsRates) {
        return;
    }

    const uint32_t frameEnd = PlatformGetTickCount();
    char line[160];
    if (pacing->showsRates && pacing->overlayRates.FrameEnded(frameEnd, steps, line, sizeof line)) {
        pacing->overlayText = RateOverlayText(true, pacing->overlayRates.FramesPerSecond(),
                                              pacing->overlayRates.StepsPerSecond());
    }
    if (pacing->reportsRates && pacing->report.FrameEnded(frameEnd, steps, line, sizeof line)) {
        std::fprintf(stderr, "%s\n", line);
        std::fflush(stderr);
    }
    if (pacing->limited) {
        pacing->nextFrameTick = frameEnd + pacing->limiter.WaitAfterFrame(frameEnd);
        pacing->hasNextFrameTick = true;
    }
}

// How long the limiter still holds the next frame back; 0 when it may start now.
uint32_t TimeBeforeNextFrame(const FramePacing& pacing) {
    if (!pacing.limited || !pacing.hasNextFrameTick) {
        return 0;
    }
    // Signed: the tick counter may wrap between the two readings.
    const int32_t early = static_cast<int32_t>(pacing.nextFrameTick - PlatformGetTickCount());
    return early > 0 ? static_cast<uint32_t>(early) : 0;
}

// Pumps the window's messages until a WM_QUIT addressed to it arrives. Frames run back to back
// while the window is visible; while it is minimised the loop sleeps in the message wait.
void RunMessagePump(GL_Window* window, FramePacing* pacing) {
    PlatformMessage message;
    BOOL isMessagePumpActive = TRUE;
    // The scene reads the key table once per frame, and the queue is emptied before each frame,
    // so a key pressed and released while one frame renders would be set and cleared again before
    // any frame saw it: on a slow renderer (a second per frame in software) a quick tap of Esc or
    // F1 would do nothing. A release that comes before any frame has seen its press therefore
    // waits for one frame to run first.
    bool keyPressedSinceFrame = false;
    while (isMessagePumpActive == TRUE && window->isGone != TRUE) {
        if (PlatformPeekMessage(&message, window->hWnd, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                isMessagePumpActive = FALSE;
                continue;
            }
            if (message.message == WM_KEYUP && keyPressedSinceFrame && window->isVisible == TRUE) {
                RunFrame(window, pacing);
                keyPressedSinceFrame = false;
            }
            PlatformDispatchMessage(&message);
            if (message.message == WM_KEYDOWN) {
                keyPressedSinceFrame = true;
            }
        } else if (window->isVisible == FALSE) {
            PlatformWaitMessage();
        } else {
            if (window->parent != nullptr) {
                if (!FollowParent(window)) {
                    // The host went without destroying its child first: the run is over.
                    TerminateApplication(window);
                    continue;
                }
                if (PlatformIsWindowVisible(window->parent) == FALSE) {
                    // A hidden or unmapped host shows nothing of the city: rest, as a minimised
                    // window does, until it is shown again.
                    PlatformWaitMessageTimeout(kHiddenHostPollMs);
                    continue;
                }
            }
            // A key goes to the scene in the next frame, which the limiter does not hold back.
            const uint32_t early = keyPressedSinceFrame ? 0 : TimeBeforeNextFrame(*pacing);
            if (early > 0) {
                PlatformWaitMessageTimeout(early);
                continue;
            }
            RunFrame(window, pacing);
            keyPressedSinceFrame = false;
        }
    }
}

// The place and size of the next window. A screen saver's child takes its parent's client area
// (false when the parent is not there); a full-screen saver covers the virtual screen at the
// desktop's own mode. --size desktop makes full screen the desktop's own mode, without a
// switch; a window then keeps the default size, since one as large as the screen would not fit
// inside it with its frame.
bool SetCreationSize(GL_Window* window, const RunPlan& plan) {
    if (window->parent != nullptr) {
        PlatformRect client;
        if (PlatformGetClientRect(window->parent, &client) == FALSE) {
            return false;
        }
        window->width = client.right - client.left;
        window->height = client.bottom - client.top;
        return window->width > 0 && window->height > 0;
    }
    if (plan.placement == Placement::kEveryMonitor) {
        // Every monitor, whose union can begin left of or above the primary one.
        window->x = PlatformGetSystemMetrics(SM_XVIRTUALSCREEN);
        window->y = PlatformGetSystemMetrics(SM_YVIRTUALSCREEN);
        window->width = PlatformGetSystemMetrics(SM_CXVIRTUALSCREEN);
        window->height = PlatformGetSystemMetrics(SM_CYVIRTUALSCREEN);
        return true;
    }
    if (!plan.desktopSize) {
        return true;
    }
    window->keepsDisplayMode = window->isFullScreen;
    if (window->isFullScreen) {
        window->width = PlatformGetSystemMetrics(SM_CXSCREEN);
        window->height = PlatformGetSystemMetrics(SM_CYSCREEN);
    } else {
        window->width = kDefaultWidth;
        window->height = kDefaultHeight;
    }
    return true;
}

// Why a host's window cannot take the city, or null when it can. The preview's host must be an
// ordinary window: the desktop would give a window over the whole screen that nothing ends, and a
// message-only window (whose ancestors never reach the desktop) one that nobody ever sees.
const char* HostProblem(const RunPlan& plan, WindowHandle host) {
    if (PlatformIsWindow(host) == FALSE) {
        return "there is no such window to draw in";
    }
    if (!plan.hostMustBeOrdinary) {
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

// The settings dialog, in front of the Screen Saver settings that asked for it (the system would
// refuse a dialog owned by a window that is not there). It starts from what is stored, and
// what the user accepts is stored; a cancelled dialog changes nothing.
int EditSettings(InstanceHandle hInstance, const RunPlan& plan) {
    WindowHandle owner = reinterpret_cast<WindowHandle>(plan.host);
    if (owner != nullptr && PlatformIsWindow(owner) == FALSE) {
        owner = nullptr;
    }
    SaverSettings settings = LoadSaverSettings();
    if (PlatformEditSaverSettings(hInstance, owner, &settings) == FALSE) {
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

} // namespace

void TerminateApplication(GL_Window* window) {
    // The desktop comes back at once: the frame in progress, the context and the window's
    // teardown all follow out of sight, and a saver is gone the moment it is told to go.
    if (window->hWnd != nullptr && window->isGone != TRUE) {
        PlatformShowWindow(window->hWnd, SW_HIDE);
    }
    PlatformPostMessage(window->hWnd, WM_QUIT, 0, 0);
    g_isProgramLooping = FALSE;
}

void ToggleFullscreen(GL_Window* window) {
    PlatformPostMessage(window->hWnd, WM_TOGGLEFULLSCREEN, 0, 0);
}

int RunZorvik(InstanceHandle hInstance, const Options& options) {
    return RunPlanned(hInstance, PlanRun(options, LoadSaverSettings()));
}

int RunPlanned(InstanceHandle hInstance, const RunPlan& plan) {
    if (plan.placement == Placement::kNone) {
        return EditSettings(hInstance, plan);
    }
    const bool hosted = plan.placement == Placement::kChild;

    Application application;
    application.hInstance = hInstance;
    application.className = "OpenGL";
    application.isQuiet = plan.quiet ? TRUE : FALSE;

    Keys keys;
    GL_Window window;
    std::memset(&window, 0, sizeof window);
    window.keys = &keys;
    window.application = &application;
    window.title = "zorvik - tavrin 2005";
    window.width = plan.width;
    window.height = plan.height;
    window.bitsPerPixel = 32;
    window.isFullScreen = plan.startsFullScreen ? TRUE : FALSE;
    if (hosted) {
        window.parent =
            plan.host == 0 ? PlatformGetDesktopWindow() : reinterpret_cast<WindowHandle>(plan.host);
    }
    if (plan.placement == Placement::kEveryMonitor) {
        window.keepsDisplayMode = TRUE;
    }
    window.endsOnInput = plan.endsOnInput ? TRUE : FALSE;
    std::memset(&keys, 0, sizeof keys);

    if (hosted) {
        if (const char* problem = HostProblem(plan, window.parent)) {
            char text[160];
            std::snprintf(
                text, sizeof text, "window 0x%llx: %s",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window.parent)),
                problem);
            ShowErrorBox(&application, text);
            return kExitWindowFailed;
        }
    }

    if (RegisterWindowClass(&application) == FALSE) {
        ShowErrorBox(&application, "Error Registering Window Class!");
        return -1;
    }

    g_isProgramLooping = TRUE;
    g_createFullScreen = window.isFullScreen;
    FramePacing pacing(plan);
    // A run that ends because no window could be made has failed, and says so in its exit code,
    // so that scripts and service managers can tell it from a normal quit.
    int exitCode = 0;
    while (g_isProgramLooping) {
        window.isFullScreen = g_createFullScreen;
        if (!SetCreationSize(&window, plan) || CreateWindowGL(&window) != TRUE) {
            ShowErrorBox(&application, "Error Creating OpenGL Window");
            g_isProgramLooping = FALSE;
            exitCode = kExitWindowFailed;
            continue;
        }
        PrepareFrames(&window, plan, &pacing);
        if (StartScene(&window, plan) == FALSE) {
            TerminateApplication(&window);
        } else {
            RunMessagePump(&window, &pacing);
        }
        Deinitialize();
        DestroyWindowGL(&window);
    }

    PlatformUnregisterClass(application.className, application.hInstance);
    return exitCode;
}
