// The entry point: an outer loop that creates one window per display mode and an inner loop that
// pumps that window's messages and runs a frame whenever the queue is empty.
#include "shell/main_loop.h"

#include <cstdio>
#include <cstring>

#include "shell/pacing.h"
#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/window.h"

BOOL g_isProgramLooping;
BOOL g_createFullScreen;

namespace {

constexpr uint32_t kErrorBoxStyle = MB_OK | MB_ICONEXCLAMATION;
constexpr int kExitWindowFailed = 1;

constexpr int32_t kDefaultWidth = 1280;
constexpr int32_t kDefaultHeight = 720;

// What the command line asks of the frames: their pace, their rate and the rate report. None of it
// exists for a plain start, whose frames each run exactly one step, back to back.
struct FramePacing {
    explicit FramePacing(const Options& options)
        : paced(options.pace != 0), pacer(options.pace), limited(options.fps != 0),
          limiter(options.fps), reportsRates(options.stats) {}
    bool paced;
    StepPacer pacer;
    bool limited;
    FrameLimiter limiter;
    bool reportsRates;
    RateReport report;
};

// One frame: the scene steps and draws, and the picture is shown.
void RunFrame(GL_Window* window, FramePacing* pacing) {
    const uint32_t tickCount = PlatformGetTickCount();
    // Unsigned subtraction: a wrap of the tick counter still gives the true difference.
    Update(tickCount - window->lastTickCount);
    window->lastTickCount = tickCount;
    const uint32_t steps = pacing->pacer.StepsFor(tickCount);
    if (pacing->paced) {
        DrawSteps(steps);
    } else {
        Draw();
    }
    PlatformSwapBuffers(window->hDC);
    if (!pacing->limited && !pacing->reportsRates) {
        return;
    }

    const uint32_t frameEnd = PlatformGetTickCount();
    char line[160];
    if (pacing->reportsRates && pacing->report.FrameEnded(frameEnd, steps, line, sizeof line)) {
        std::fprintf(stderr, "%s\n", line);
        std::fflush(stderr);
    }
    const uint32_t wait = pacing->limiter.WaitAfterFrame(frameEnd);
    if (wait > 0) {
        PlatformSleep(wait);
    }
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
    while (isMessagePumpActive == TRUE) {
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
            RunFrame(window, pacing);
            keyPressedSinceFrame = false;
        }
    }
}

// The size of the next window. --size desktop makes full screen the desktop's own mode, without a
// switch; a window then keeps the default size, since one as large as the screen would not fit
// inside it with its frame.
void SetCreationSize(GL_Window* window, const Options& options) {
    if (!options.desktopSize) {
        return;
    }
    window->keepsDisplayMode = window->isFullScreen;
    if (window->isFullScreen) {
        window->width = PlatformGetSystemMetrics(SM_CXSCREEN);
        window->height = PlatformGetSystemMetrics(SM_CYSCREEN);
    } else {
        window->width = kDefaultWidth;
        window->height = kDefaultHeight;
    }
}

} // namespace

void TerminateApplication(GL_Window* window) {
    PlatformPostMessage(window->hWnd, WM_QUIT, 0, 0);
    g_isProgramLooping = FALSE;
}

void ToggleFullscreen(GL_Window* window) {
    PlatformPostMessage(window->hWnd, WM_TOGGLEFULLSCREEN, 0, 0);
}

int RunZorvik(InstanceHandle hInstance, const Options& options) {
    Application application;
    application.hInstance = hInstance;
    application.className = "OpenGL";

    Keys keys;
    GL_Window window;
    std::memset(&window, 0, sizeof window);
    window.keys = &keys;
    window.application = &application;
    window.title = "zorvik - tavrin 2005";
    window.width = options.width;
    window.height = options.height;
    window.bitsPerPixel = 32;
    window.isFullScreen = options.windowed ? FALSE : TRUE;
    std::memset(&keys, 0, sizeof keys);

    if (RegisterWindowClass(&application) == FALSE) {
        PlatformMessageBox(nullptr, "Error Registering Window Class!", "Error", kErrorBoxStyle);
        return -1;
    }

    g_isProgramLooping = TRUE;
    g_createFullScreen = window.isFullScreen;
    FramePacing pacing(options);
    // A run that ends because no window could be made has failed, and says so in its exit code,
    // so that scripts and service managers can tell it from a normal quit.
    int exitCode = 0;
    while (g_isProgramLooping) {
        window.isFullScreen = g_createFullScreen;
        SetCreationSize(&window, options);
        if (CreateWindowGL(&window) != TRUE) {
            PlatformMessageBox(nullptr, "Error Creating OpenGL Window", "Error", kErrorBoxStyle);
            g_isProgramLooping = FALSE;
            exitCode = kExitWindowFailed;
            continue;
        }
        if (options.vsync >= 0) {
            PlatformSetSwapInterval(options.vsync);
        }
        if (Initialize(&window, &keys) == FALSE) {
            TerminateApplication(&window);
        } else {
            if (options.seedGiven) {
                SeedAnimation(options.seed);
            }
            RunMessagePump(&window, &pacing);
        }
        Deinitialize();
        DestroyWindowGL(&window);
    }

    PlatformUnregisterClass(application.className, application.hInstance);
    return exitCode;
}
