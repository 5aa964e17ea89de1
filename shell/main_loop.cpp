// The entry point: an outer loop that creates one window per display mode and an inner loop that
// pumps that window's messages and runs a frame whenever the queue is empty.
#include "shell/main_loop.h"

#include <cstring>

#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/window.h"

BOOL g_isProgramLooping;
BOOL g_createFullScreen;

namespace {

constexpr uint32_t kErrorBoxStyle = MB_OK | MB_ICONEXCLAMATION;
constexpr int kExitWindowFailed = 1;

// One frame: the scene steps by the time since the last frame and draws, and the picture is shown.
void RunFrame(GL_Window* window) {
    const uint32_t tickCount = PlatformGetTickCount();
    // Unsigned subtraction: a wrap of the tick counter still gives the true difference.
    Update(tickCount - window->lastTickCount);
    window->lastTickCount = tickCount;
    Draw();
    PlatformSwapBuffers(window->hDC);
}

// Pumps the window's messages until a WM_QUIT addressed to it arrives. Frames run back to back
// while the window is visible; while it is minimised the loop sleeps in the message wait.
void RunMessagePump(GL_Window* window) {
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
                RunFrame(window);
                keyPressedSinceFrame = false;
            }
            PlatformDispatchMessage(&message);
            if (message.message == WM_KEYDOWN) {
                keyPressedSinceFrame = true;
            }
        } else if (window->isVisible == FALSE) {
            PlatformWaitMessage();
        } else {
            RunFrame(window);
            keyPressedSinceFrame = false;
        }
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

extern "C" int ZORVIK_ENTRY_CALL WinMain(InstanceHandle hInstance, InstanceHandle, char*, int) {
    Application application;
    application.hInstance = hInstance;
    application.className = "OpenGL";

    Keys keys;
    GL_Window window;
    std::memset(&window, 0, sizeof window);
    window.keys = &keys;
    window.application = &application;
    window.title = "zorvik - tavrin 2005";
    window.width = 1280;
    window.height = 720;
    window.bitsPerPixel = 32;
    window.isFullScreen = TRUE;
    std::memset(&keys, 0, sizeof keys);

    if (RegisterWindowClass(&application) == FALSE) {
        PlatformMessageBox(nullptr, "Error Registering Window Class!", "Error", kErrorBoxStyle);
        return -1;
    }

    g_isProgramLooping = TRUE;
    g_createFullScreen = window.isFullScreen;
    // A run that ends because no window could be made has failed, and says so in its exit code,
    // so that scripts and service managers can tell it from a normal quit.
    int exitCode = 0;
    while (g_isProgramLooping) {
        window.isFullScreen = g_createFullScreen;
        if (CreateWindowGL(&window) != TRUE) {
            PlatformMessageBox(nullptr, "Error Creating OpenGL Window", "Error", kErrorBoxStyle);
            g_isProgramLooping = FALSE;
            exitCode = kExitWindowFailed;
            continue;
        }
        if (Initialize(&window, &keys) == FALSE) {
            TerminateApplication(&window);
        } else {
            RunMessagePump(&window);
        }
        Deinitialize();
        DestroyWindowGL(&window);
    }

    PlatformUnregisterClass(application.className, application.hInstance);
    return exitCode;
}
