// The platform vocabulary on SDL2, for Linux.
//
// SDL knows nothing of window classes, procedures or per-window queues, so this file keeps them:
// each window owns a queue of posted messages, and SDL's events are translated into the messages
// Windows would produce. Messages Windows sends rather than posts (creation, size changes, close)
// go straight to the window procedure; key presses are queued like Windows input.
//
// An X11 window's visual is fixed when it is created, so the native SDL window is made when the
// pixel format is set (or, failing that, when the window is first shown). A display-mode switch
// is checked against the display's real modes and then taken by the full-screen pop-up window
// that follows it; SDL puts the desktop mode back when that window leaves full screen or goes.
#include "shell/platform_sdl.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "shell/platform.h"
#include "shell/platform_constants.h"
#include "shell/platform_surface.h"
#include "shell/quit_watchdog.h"
#include "shell/sdl_keys.h"
#include "shell/x11_host_window.h"

namespace {

using SdlWindow = LinuxWindow;

std::map<std::string, WindowProcedure> g_classes;
std::vector<SdlWindow*> g_windows; // the live windows, oldest first
SdlWindow* g_current = nullptr;    // the window whose context is current
bool g_modeSwitched = false;
// How long a quit signal waits for the frame in progress before the watchdog ends the program.
constexpr uint32_t kQuitGraceMs = 10000;
SDL_DisplayMode g_switchedMode;
int g_cursorCount = 0;
bool g_closePending = false; // a quit signal that arrived while no window existed
// The frame the window manager put around the last framed window; none until one is seen, and
// none at all without a window manager.
int g_frameLeft = 0, g_frameTop = 0, g_frameRight = 0, g_frameBottom = 0;

SdlWindow* FromHandle(WindowHandle hWnd) {
    auto* window = reinterpret_cast<SdlWindow*>(hWnd);
    return std::find(g_windows.begin(), g_windows.end(), window) != g_windows.end() ? window
                                                                                    : nullptr;
}
WindowHandle ToHandle(SdlWindow* window) {
    return reinterpret_cast<WindowHandle>(window);
}
// A window's device context is the window itself: every window of the class owns its DC.
SdlWindow* FromDeviceContext(DeviceContextHandle hDC) {
    return FromHandle(reinterpret_cast<WindowHandle>(hDC));
}

SdlWindow* FromNative(uint32_t windowId) {
    SDL_Window* native = SDL_GetWindowFromID(windowId);
    for (SdlWindow* window : g_windows) {
        if (native != nullptr && window->native == native) {
            return window;
        }
    }
    return nullptr;
}

// A handle that names none of the program's windows is another program's X window id.
x11host::WindowId ForeignId(WindowHandle hWnd) {
    return static_cast<x11host::WindowId>(reinterpret_cast<uintptr_t>(hWnd));
}

intptr_t Send(SdlWindow* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return window->procedure(ToHandle(window), message, wParam, lParam);
}

intptr_t PackSize(int32_t width, int32_t height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(height) & 0xFFFF) << 16 |
                                 (static_cast<uint32_t>(width) & 0xFFFF));
}

bool IsFramed(uint32_t style) {
    return (style & WS_CAPTION) != 0 && (style & WS_POPUP) == 0;
}

void RememberFrame(SdlWindow* window) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (window->native != nullptr && IsFramed(window->style) &&
        SDL_GetWindowBordersSize(window->native, &top, &left, &bottom, &right) == 0) {
        g_frameLeft = left;
        g_frameTop = top;
        g_frameRight = right;
        g_frameBottom = bottom;
    }
}

// Creates the native window with an OpenGL visual matching the pixel-format request.
bool Realise(SdlWindow* window, const PlatformPixelFormat& format) {
    const int colourBits = format.cColorBits >= 24 ? 8 : format.cColorBits >= 15 ? 5 : 1;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.cAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.cDepthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, format.cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, format.cAccumRedBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, format.cAccumGreenBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, format.cAccumBlueBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, format.cAccumAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.dwFlags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);

    const bool popup = (window->style & WS_POPUP) != 0;
    const bool fullScreen = popup && g_modeSwitched && window->clientWidth == g_switchedMode.w &&
                            window->clientHeight == g_switchedMode.h;
    // A pop-up as large as the desktop, without a mode switch, is full screen at the desktop's own
    // mode: the window manager is told so, and puts it above panels and docks.
    SDL_DisplayMode desktop;
    const bool desktopFullScreen =
        popup && !g_modeSwitched && SDL_GetDesktopDisplayMode(0, &desktop) == 0 &&
        window->clientWidth == desktop.w && window->clientHeight == desktop.h;
    uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (popup) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    if ((window->style & WS_THICKFRAME) != 0) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if ((window->exStyle & WS_EX_TOPMOST) != 0) {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    if (fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if (desktopFullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    window->native = SDL_CreateWindow(window->title.c_str(), window->clientX, window->clientY,
                                      window->clientWidth, window->clientHeight, flags);
    if (window->native == nullptr) {
        std::fprintf(stderr, "zorvik: cannot create a window: %s\n", SDL_GetError());
        return false;
    }
    if (fullScreen && SDL_SetWindowDisplayMode(window->native, &g_switchedMode) != 0) {
        std::fprintf(stderr, "zorvik: cannot set the display mode: %s\n", SDL_GetError());
    }
    return true;
}

PlatformPixelFormat DefaultPixelFormat() {
    PlatformPixelFormat format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    return format;
}

bool HasQueuedMessages() {
    return std::any_of(g_windows.begin(), g_windows.end(),
                       [](const SdlWindow* window) { return !window->posted.empty(); });
}

void DeliverClose() {
    if (g_windows.empty()) {
        g_closePending = true;
        return;
    }
    g_closePending = false;
    // Copied: the window procedure may destroy windows while this runs.
    const std::vector<SdlWindow*> windows = g_windows;
    for (SdlWindow* window : windows) {
        if (FromHandle(ToHandle(window)) != nullptr) {
            Send(window, WM_CLOSE, 0, 0);
        }
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    SdlWindow* window = FromNative(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Windows tells a program that it is no longer the active one by WM_ACTIVATEAPP; a saver
        // ends on it, as another window has come to the front.
        Send(window, WM_ACTIVATEAPP, event.event == SDL_WINDOWEVENT_FOCUS_GAINED ? TRUE : FALSE, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        // The close box: a system command, whose default handling sends WM_CLOSE.
        Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        SendSizeMessage(window, SIZE_MINIMIZED, window->clientWidth, window->clientHeight);
        break;
    case SDL_WINDOWEVENT_RESTORED: {
        int width = 0, height = 0;
        SDL_GetWindowSize(window->native, &width, &height);
        SendSizeMessage(window, SIZE_RESTORED, width, height);
        break;
    }
    case SDL_WINDOWEVENT_MAXIMIZED: {
        int width = 0, height = 0;
        SDL_GetWindowSize(window->native, &width, &height);
        SendSizeMessage(window, SIZE_MAXIMIZED, width, height);
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        // Windows reports only real changes; SDL also repeats the size a window already has.
        const uint32_t state = SDL_GetWindowFlags(window->native);
        if ((state & SDL_WINDOW_MINIMIZED) == 0 &&
            (event.data1 != window->clientWidth || event.data2 != window->clientHeight)) {
            SendSizeMessage(window,
                            (state & SDL_WINDOW_MAXIMIZED) != 0 ? SIZE_MAXIMIZED : SIZE_RESTORED,
                            event.data1, event.data2);
        }
        break;
    }
    default:
        break;
    }
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    SdlWindow* window = FromNative(event.windowID);
    if (window == nullptr) {
        if (g_windows.empty()) {
            return;
        }
        window = g_windows.back();
    }
    const uint8_t key = VirtualKeyFromScancode(event.keysym.scancode);
    if (key == 0) {
        return;
    }
    // With Alt held, and for F10 and Alt themselves, Windows routes keys as system keys.
    const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
    const bool system = alt || key == VK_F10 || key == 0x12;
    const bool down = event.type == SDL_KEYDOWN;
    uint32_t message;
    if (down) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    // lParam as Windows packs it: repeat count, scan code, context (Alt) and transition bits.
    uint32_t lParam = 1 | (static_cast<uint32_t>(event.keysym.scancode) & 0xFF) << 16;
    if (alt) {
        lParam |= 1u << 29;
    }
    if (!down) {
        lParam |= 3u << 30;
    } else if (event.repeat) {
        lParam |= 1u << 30;
    }
    window->posted.push_back(PlatformMessage{ToHandle(window), message, key,
                                             static_cast<intptr_t>(lParam), SDL_GetTicks(), 0, 0});
}

// The pointer's moves and buttons, posted as Windows would: a move with the position in the
// client area, a press with the button it was.
void TranslatePointerEvent(const SDL_Event& event) {
    const uint32_t windowId =
        event.type == SDL_MOUSEMOTION ? event.motion.windowID : event.button.windowID;
    const uint32_t mouse = event.type == SDL_MOUSEMOTION ? event.motion.which : event.button.which;
    SdlWindow* window = FromNative(windowId);
    if (window == nullptr || mouse == SDL_TOUCH_MOUSEID) {
        return;
    }
    uint32_t message = WM_MOUSEMOVE;
    uintptr_t wParam = 0;
    int32_t x = event.motion.x, y = event.motion.y;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        x = event.button.x;
        y = event.button.y;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT:
            message = WM_LBUTTONDOWN;
            wParam = 0x0001; // MK_LBUTTON
            break;
        case SDL_BUTTON_RIGHT:
            message = WM_RBUTTONDOWN;
            wParam = 0x0002; // MK_RBUTTON
            break;
        case SDL_BUTTON_MIDDLE:
            message = WM_MBUTTONDOWN;
            wParam = 0x0010; // MK_MBUTTON
            break;
        default:
            message = WM_XBUTTONDOWN;
            break;
        }
    }
    window->posted.push_back(
        PlatformMessage{ToHandle(window), message, wParam, PackSize(x, y), SDL_GetTicks(), x, y});
}

void PumpEvents() {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: // SIGINT or SIGTERM
            DeliverClose();
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKeyEvent(event.key);
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
            TranslatePointerEvent(event);
            break;
        default:
            break;
        }
    }
    if (g_closePending && !g_windows.empty()) {
        DeliverClose();
    }
}

// Xlib's own handler for a refused request ends the process on the spot. Requests are refused
// where the system cannot give the program what it asks for: an OpenGL context when no usable
// OpenGL driver is installed (Mesa then falls back to indirect rendering, which the X server may
// forbid), a visual the screen does not have. SDL makes some of those requests without a handler
// of its own, so the program would vanish with Xlib's terse report instead of saying what failed
// and leaving through its normal road. This handler reports the refusal and lets the failing call
// return its failure, which the shell turns into its message box and exit code.
int ReportRefusedRequest(Display* display, XErrorEvent* event) {
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "zorvik: the X server refused a request (opcode %d.%d): %s\n",
                 event->request_code, event->minor_code, text);
    return 0;
}

// A quit signal that arrived while a message box was up.
volatile sig_atomic_t g_boxSignal = 0;

void RecordBoxSignal(int signal) {
    g_boxSignal = signal;
}

// In the box's process: ends it and every process it started.
void EndBoxProcessGroup(int) {
    kill(0, SIGKILL);
}

// SDL's box runs its own loop, deaf to SIGINT and SIGTERM (SDL's handlers only queue a quit event
// that nobody reads until the box is closed): a session manager or a screen-saver host asking the
// program to go would wait for a click that never comes. So the box is shown by a child process
// while this one waits, and a quit signal closes the box and is then handed on to SDL's own
// handler, so that the program leaves by its normal road with its normal exit code.
void ShowBoxUntilClosedOrSignalled(uint32_t flags, const char* caption, const char* text,
                                   SDL_Window* owner) {
    struct sigaction recordSignal {};
    recordSignal.sa_handler = RecordBoxSignal;
    sigemptyset(&recordSignal.sa_mask);
    recordSignal.sa_flags = 0;
    struct sigaction previousInt {
    }, previousTerm{};
    g_boxSignal = 0;
    sigaction(SIGINT, &recordSignal, &previousInt);
    sigaction(SIGTERM, &recordSignal, &previousTerm);

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Its own process group, so that whatever the box starts (SDL draws it in a process of
        // its own) goes with it: a SIGTERM ends the whole group.
        setpgid(0, 0);
        signal(SIGINT, SIG_DFL);
        struct sigaction endGroup {};
        endGroup.sa_handler = EndBoxProcessGroup;
        sigemptyset(&endGroup.sa_mask);
        sigaction(SIGTERM, &endGroup, nullptr);
        // The box must not outlive the program, whatever ends it (SIGKILL, SIGHUP from a closed
        // terminal): the system sends the SIGTERM when the parent goes. A parent gone already
        // before that was asked for is seen in the parent's id.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(0);
        }
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
        _exit(0);
    }
    if (child < 0) {
        sigaction(SIGINT, &previousInt, nullptr);
        sigaction(SIGTERM, &previousTerm, nullptr);
        SDL_ShowSimpleMessageBox(flags, caption, text, owner);
        return;
    }
    setpgid(child, child);
    // Polled rather than blocked on, so that a signal landing just before a wait is not missed.
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (g_boxSignal != 0) {
            kill(-child, SIGTERM);
            kill(child, SIGTERM);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        usleep(20000);
    }
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    if (g_boxSignal != 0) {
        raise(g_boxSignal);
    }
}

// --- The SDL surface: a window of the program's own -------------------------------------------

bool SdlShow(SdlWindow* window, bool show) {
    const bool wasShown = window->shown;
    if (!show) {
        window->shown = false;
        if (window->native != nullptr) {
            SDL_HideWindow(window->native);
        }
        return wasShown;
    }
    if (window->native == nullptr && !Realise(window, DefaultPixelFormat())) {
        return false;
    }
    SDL_ShowWindow(window->native);
    SDL_RaiseWindow(window->native);
    SDL_SetWindowInputFocus(window->native);
    window->shown = true;
    if (!wasShown) {
        int clientWidth = 0, clientHeight = 0;
        SDL_GetWindowSize(window->native, &clientWidth, &clientHeight);
        RememberFrame(window);
        SendSizeMessage(window, SIZE_RESTORED, clientWidth, clientHeight);
    }
    return wasShown;
}

void SdlDestroy(SdlWindow* window) {
    RememberFrame(window);
    if (window->native != nullptr) {
        SDL_DestroyWindow(window->native);
        window->native = nullptr;
    }
}

void SdlMove(SdlWindow* window, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (window->native != nullptr) {
        SDL_SetWindowPosition(window->native, x, y);
        SDL_SetWindowSize(window->native, width, height);
    }
}

bool SdlIsVisible(const SdlWindow* window) {
    if (window->native == nullptr) {
        return window->shown;
    }
    const uint32_t flags = SDL_GetWindowFlags(window->native);
    return (flags & SDL_WINDOW_SHOWN) != 0 && (flags & SDL_WINDOW_MINIMIZED) == 0;
}

bool SdlSetPixelFormat(SdlWindow* window, const PlatformPixelFormat& format) {
    // As on Windows, a window's pixel format is set once.
    return window->native == nullptr && Realise(window, format);
}

RenderContextHandle SdlCreateContext(SdlWindow* window) {
    if (window->native == nullptr) {
        return nullptr;
    }
    // SDL makes a new context current; creating one leaves the current context alone on Windows.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previous = SDL_GL_GetCurrentContext();
    SDL_GLContext context = SDL_GL_CreateContext(window->native);
    if (context == nullptr) {
        std::fprintf(stderr, "zorvik: cannot create an OpenGL context: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_GL_MakeCurrent(previousWindow != nullptr ? previousWindow : window->native, previous);
    return reinterpret_cast<RenderContextHandle>(context);
}

bool SdlMakeCurrent(SdlWindow* window, RenderContextHandle context) {
    return window->native != nullptr &&
           SDL_GL_MakeCurrent(window->native, reinterpret_cast<SDL_GLContext>(context)) == 0;
}

bool SdlDeleteContext(RenderContextHandle context) {
    SDL_GL_DeleteContext(reinterpret_cast<SDL_GLContext>(context));
    return true;
}

bool SdlSetSwapInterval(SdlWindow*, int32_t interval) {
    return SDL_GL_SetSwapInterval(interval) == 0;
}

void SdlSwapBuffers(SdlWindow* window) {
    if (window->native != nullptr) {
        SDL_GL_SwapWindow(window->native);
    }
}

// The displays a window can cover. A Wayland client can neither place a window nor stretch one
// across outputs: a window as large as all of them would be laid on one output by the compositor,
// which centres it there and cuts it off. So under Wayland the program sees the first output
// alone, and a full-screen saver covers that one whole.
int UsableDisplays() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const int displays = SDL_GetNumVideoDisplays();
    return driver != nullptr && SDL_strcmp(driver, "wayland") == 0 ? std::min(displays, 1)
                                                                   : displays;
}

bool Matches(const PlatformMessage& message, uint32_t filterMin, uint32_t filterMax) {
    return (filterMin == 0 && filterMax == 0) ||
           (message.message >= filterMin && message.message <= filterMax);
}

} // namespace

const SurfaceOps kSdlSurface = {
    true,
    SdlShow,
    SdlDestroy,
    SdlMove,
    SdlIsVisible,
    SdlSetPixelFormat,
    SdlCreateContext,
    SdlMakeCurrent,
    SdlDeleteContext,
    SdlSetSwapInterval,
    SdlSwapBuffers,
};

void SendSizeMessage(LinuxWindow* window, uintptr_t kind, int32_t width, int32_t height) {
    window->clientWidth = width;
    window->clientHeight = height;
    Send(window, WM_SIZE, kind, kind == SIZE_MINIMIZED ? 0 : PackSize(width, height));
}

bool SdlStartVideo(std::string* error) {
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        return true;
    }
    // Only SIGINT and SIGTERM end the program through SDL_QUIT; closing a window is reported by
    // the window's own close event.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Set before SDL starts: SDL's X11 driver keeps the handler it finds and passes refusals on to
    // it once it has put the desktop's display mode back.
    XSetErrorHandler(ReportRefusedRequest);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (error != nullptr) {
            *error = SDL_GetError();
        }
        return false;
    }
    // Without a display SDL falls back to drivers that draw nowhere; unless one was asked for by
    // name, that means there is no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    const bool invisible = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 ||
                                                 SDL_strcmp(driver, "dummy") == 0);
    if (invisible && (wanted == nullptr || SDL_strcasecmp(wanted, driver) != 0)) {
        if (error != nullptr) {
            *error = std::string("no display found; SDL offered only its \"") + driver +
                     "\" video driver";
        }
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

// --- Window classes ---------------------------------------------------------------------------

uint16_t PlatformRegisterClass(const PlatformWindowClass* windowClass) {
    if (windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr ||
        g_classes.count(windowClass->lpszClassName) != 0) {
        return 0;
    }
    g_classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    return static_cast<uint16_t>(0xC000 + g_classes.size());
}

BOOL PlatformUnregisterClass(const char* className, InstanceHandle) {
    return g_classes.erase(className) != 0 ? TRUE : FALSE;
}

CursorHandle PlatformLoadCursor(InstanceHandle, uintptr_t cursorId) {
    // SDL's default cursor is the arrow; the handle only has to be recognisable.
    return reinterpret_cast<CursorHandle>(cursorId);
}

// --- Windows ----------------------------------------------------------------------------------

WindowHandle PlatformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle parent, MenuHandle, InstanceHandle,
                                  void* param) {
    auto found = g_classes.find(className);
    if (found == g_classes.end() || !SdlStartVideo(nullptr)) {
        return nullptr;
    }
    auto* window = new SdlWindow;
    window->procedure = found->second;
    window->style = style;
    // The one place where the surface is chosen: a child of another program's window is drawn
    // with Xlib and GLX, every other window is SDL's.
    window->surface = &kSdlSurface;
    if (parent != nullptr && FromHandle(parent) == nullptr) {
        window->surface = &kX11HostSurface;
        window->host = ForeignId(parent);
    }
    window->exStyle = exStyle;
    window->title = title != nullptr ? title : "";
    // Windows places and sizes the outer frame; SDL the client area inside it.
    const bool framed = IsFramed(style);
    window->clientX = x + (framed ? g_frameLeft : 0);
    window->clientY = y + (framed ? g_frameTop : 0);
    window->clientWidth = std::max(1, width - (framed ? g_frameLeft + g_frameRight : 0));
    window->clientHeight = std::max(1, height - (framed ? g_frameTop + g_frameBottom : 0));
    g_windows.push_back(window);
    if (window->surface->holdsScreenSaverOff) {
        SDL_DisableScreenSaver();
    }

    PlatformCreationRecord creation{param};
    if (Send(window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation)) == -1) {
        PlatformDestroyWindow(ToHandle(window));
        return nullptr;
    }
    return ToHandle(window);
}

BOOL PlatformShowWindow(WindowHandle hWnd, int32_t showCommand) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    return window->surface->show(window, showCommand != SW_HIDE) ? TRUE : FALSE;
}

BOOL PlatformDestroyWindow(WindowHandle hWnd) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    Send(window, WM_DESTROY, 0, 0);
    window->surface->destroy(window);
    // A window whose context was never made not current (a failed creation step) is not to be
    // asked for a swap interval once it is gone.
    if (g_current == window) {
        g_current = nullptr;
    }
    g_windows.erase(std::find(g_windows.begin(), g_windows.end(), window));
    delete window;
    if (std::none_of(g_windows.begin(), g_windows.end(),
                     [](const SdlWindow* w) { return w->surface->holdsScreenSaverOff; })) {
        SDL_EnableScreenSaver();
    }
    return TRUE;
}

intptr_t PlatformGetWindowLongPtr(WindowHandle hWnd, int32_t index) {
    SdlWindow* window = FromHandle(hWnd);
    return window != nullptr && index == GWL_USERDATA ? window->userData : 0;
}

intptr_t PlatformSetWindowLongPtr(WindowHandle hWnd, int32_t index, intptr_t value) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr || index != GWL_USERDATA) {
        return 0;
    }
    const intptr_t previous = window->userData;
    window->userData = value;
    return previous;
}

BOOL PlatformAdjustWindowRectEx(PlatformRect* rect, uint32_t style, BOOL, uint32_t) {
    if (IsFramed(style)) {
        rect->left -= g_frameLeft;
        rect->top -= g_frameTop;
        rect->right += g_frameRight;
        rect->bottom += g_frameBottom;
    }
    return TRUE;
}

BOOL PlatformGetClientRect(WindowHandle hWnd, PlatformRect* rect) {
    if (SdlWindow* window = FromHandle(hWnd)) {
        *rect = PlatformRect{0, 0, window->clientWidth, window->clientHeight};
        return TRUE;
    }
    int32_t width = 0, height = 0;
    if (!x11host::GetSize(ForeignId(hWnd), &width, &height)) {
        return FALSE;
    }
    *rect = PlatformRect{0, 0, width, height};
    return TRUE;
}

BOOL PlatformIsWindow(WindowHandle hWnd) {
    PlatformRect rect;
    return PlatformGetClientRect(hWnd, &rect);
}

BOOL PlatformIsWindowVisible(WindowHandle hWnd) {
    if (SdlWindow* window = FromHandle(hWnd)) {
        return window->surface->isVisible(window) ? TRUE : FALSE;
    }
    return x11host::IsShown(ForeignId(hWnd)) ? TRUE : FALSE;
}

WindowHandle PlatformGetParentWindow(WindowHandle hWnd) {
    if (FromHandle(hWnd) != nullptr) {
        return PlatformGetDesktopWindow();
    }
    return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(x11host::Parent(ForeignId(hWnd))));
}

BOOL PlatformMoveWindow(WindowHandle hWnd, int32_t x, int32_t y, int32_t width, int32_t height,
                        BOOL) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->surface->move(window, x, y, width, height);
    if (width != window->clientWidth || height != window->clientHeight) {
        SendSizeMessage(window, SIZE_RESTORED, width, height);
    }
    return TRUE;
}

WindowHandle PlatformGetDesktopWindow() {
    return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(x11host::DesktopWindow()));
}

// --- Device contexts, pixel formats, OpenGL contexts ------------------------------------------

DeviceContextHandle PlatformGetDC(WindowHandle hWnd) {
    return FromHandle(hWnd) != nullptr ? reinterpret_cast<DeviceContextHandle>(hWnd) : nullptr;
}

int32_t PlatformReleaseDC(WindowHandle, DeviceContextHandle) {
    return 1;
}

int32_t PlatformChoosePixelFormat(DeviceContextHandle hDC, const PlatformPixelFormat* format) {
    const uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (FromDeviceContext(hDC) == nullptr || (format->dwFlags & needed) != needed ||
        format->iPixelType != PFD_TYPE_RGBA) {
        return 0;
    }
    return 1; // the one format: whatever OpenGL visual best matches the request
}

BOOL PlatformSetPixelFormat(DeviceContextHandle hDC, int32_t formatIndex,
                            const PlatformPixelFormat* format) {
    SdlWindow* window = FromDeviceContext(hDC);
    if (window == nullptr || formatIndex != 1) {
        return FALSE;
    }
    return window->surface->setPixelFormat(window, *format) ? TRUE : FALSE;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle hDC) {
    SdlWindow* window = FromDeviceContext(hDC);
    return window != nullptr ? window->surface->createContext(window) : nullptr;
}

BOOL PlatformMakeCurrent(DeviceContextHandle hDC, RenderContextHandle hRC) {
    SdlWindow* window = FromDeviceContext(hDC);
    if (window == nullptr || !window->surface->makeCurrent(window, hRC)) {
        return FALSE;
    }
    g_current = hRC != nullptr ? window : nullptr;
    return TRUE;
}

BOOL PlatformDeleteContext(RenderContextHandle hRC) {
    if (hRC == nullptr) {
        return FALSE;
    }
    // A context is one surface's: each is asked in turn whether it made it.
    return kX11HostSurface.deleteContext(hRC) || kSdlSurface.deleteContext(hRC) ? TRUE : FALSE;
}

BOOL PlatformSwapBuffers(DeviceContextHandle hDC) {
    SdlWindow* window = FromDeviceContext(hDC);
    if (window == nullptr) {
        return FALSE;
    }
    window->surface->swapBuffers(window);
    return TRUE;
}

// --- Display, cursor, message boxes, time -----------------------------------------------------

int32_t PlatformGetSystemMetrics(int32_t index) {
    if (!SdlStartVideo(nullptr)) {
        return 0;
    }
    if (index == SM_CXSCREEN || index == SM_CYSCREEN) {
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
            return 0;
        }
        return index == SM_CXSCREEN ? desktop.w : desktop.h;
    }
    // The virtual screen: the union of every display's bounds.
    SDL_Rect all{0, 0, 0, 0};
    for (int i = 0; i < UsableDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0) {
            if (i == 0) {
                all = bounds;
            } else {
                SDL_UnionRect(&all, &bounds, &all);
            }
        }
    }
    switch (index) {
    case SM_XVIRTUALSCREEN:
        return all.x;
    case SM_YVIRTUALSCREEN:
        return all.y;
    case SM_CXVIRTUALSCREEN:
        return all.w;
    case SM_CYVIRTUALSCREEN:
        return all.h;
    default:
        return 0;
    }
}

BOOL PlatformSetSwapInterval(int32_t interval) {
    // Of the current context, as on Windows.
    return g_current != nullptr && g_current->surface->setSwapInterval(g_current, interval) ? TRUE
                                                                                            : FALSE;
}

int32_t PlatformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t) {
    if (mode == nullptr) {
        g_modeSwitched = false;
        SetQuitWatchdogDisplaySwitched(false);
        for (SdlWindow* window : g_windows) {
            if (window->native != nullptr &&
                (SDL_GetWindowFlags(window->native) & SDL_WINDOW_FULLSCREEN) != 0) {
                SDL_SetWindowFullscreen(window->native, 0);
            }
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (!SdlStartVideo(nullptr)) {
        return DISP_CHANGE_FAILED;
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        return DISP_CHANGE_FAILED;
    }
    const int width =
        (mode->dmFields & DM_PELSWIDTH) != 0 ? static_cast<int>(mode->dmPelsWidth) : desktop.w;
    const int height =
        (mode->dmFields & DM_PELSHEIGHT) != 0 ? static_cast<int>(mode->dmPelsHeight) : desktop.h;
    // Windows counts the padding byte of a 24-bit colour pixel, SDL only the colour bits.
    const int bits =
        (mode->dmFields & DM_BITSPERPEL) != 0 ? static_cast<int>(mode->dmBitsPerPel) : 0;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate;
        if (SDL_GetDisplayMode(0, i, &candidate) != 0 || candidate.w != width ||
            candidate.h != height) {
            continue;
        }
        const int candidateBits = static_cast<int>(SDL_BITSPERPIXEL(candidate.format));
        const int candidateBytes = static_cast<int>(SDL_BYTESPERPIXEL(candidate.format));
        if (bits == 0 || bits == candidateBits || bits == candidateBytes * 8) {
            g_switchedMode = candidate;
            g_modeSwitched = true;
            SetQuitWatchdogDisplaySwitched(true);
            return DISP_CHANGE_SUCCESSFUL;
        }
    }
    return DISP_CHANGE_BADMODE;
}

int32_t PlatformShowCursor(BOOL show) {
    g_cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return g_cursorCount;
}

int32_t PlatformMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t type) {
    // Also on stderr, which is all there is where no box can be shown. A box titled with the
    // program's own name needs no second name in front of its text.
    if (std::string(caption) == "zorvik") {
        std::fprintf(stderr, "zorvik: %s\n", text);
    } else {
        std::fprintf(stderr, "zorvik: %s: %s\n", caption, text);
    }
    std::fflush(stderr);
    uint32_t flags = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONEXCLAMATION) {
        flags = SDL_MESSAGEBOX_WARNING;
    } else if ((type & 0xF0) == 0x10) {
        flags = SDL_MESSAGEBOX_ERROR;
    }
    SdlWindow* window = FromHandle(owner);
    ShowBoxUntilClosedOrSignalled(flags, caption, text,
                                  window != nullptr ? window->native : nullptr);
    return IDOK;
}

int32_t PlatformGetDisplayFrequency() {
    SDL_DisplayMode mode;
    if (!SdlStartVideo(nullptr) || SDL_GetCurrentDisplayMode(0, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

int32_t PlatformEnumDisplayMonitors(PlatformMonitor* monitors, int32_t capacity) {
    if (!SdlStartVideo(nullptr)) {
        return 0;
    }
    int32_t count = 0;
    for (int i = 0; i < UsableDisplays(); ++i) {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) != 0) {
            continue;
        }
        if (count < capacity) {
            // SDL lists the primary display first.
            monitors[count] =
                PlatformMonitor{{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h},
                                i == 0 ? kMonitorPrimary : 0u};
        }
        ++count;
    }
    return count;
}

// Linux keeps no settings of its own: xscreensaver passes its settings as options.
BOOL PlatformReadSetting(const char*, uint32_t*) {
    return FALSE;
}

BOOL PlatformWriteSetting(const char*, uint32_t) {
    return FALSE;
}

BOOL PlatformEditSaverSettings(InstanceHandle, WindowHandle owner, SaverSettings*) {
    PlatformMessageBox(owner,
                       "zorvik - tavrin 2005\n\n"
                       "An endless abstract night city, animated.\n"
                       "On Linux the screen saver's settings are xscreensaver's:\n"
                       "choose Zorvik in xscreensaver-settings to set its speed.",
                       "zorvik", MB_OK | MB_ICONINFORMATION);
    return FALSE;
}

uint32_t PlatformGetTickCount() {
    return SDL_GetTicks();
}

void PlatformSleep(uint32_t milliseconds) {
    SDL_Delay(milliseconds);
}

// --- The message queue ------------------------------------------------------------------------

BOOL PlatformPeekMessage(PlatformMessage* message, WindowHandle hWnd, uint32_t filterMin,
                         uint32_t filterMax, uint32_t removeFlags) {
    PumpEvents();
    for (SdlWindow* window : g_windows) {
        if (hWnd != nullptr && ToHandle(window) != hWnd) {
            continue;
        }
        for (auto it = window->posted.begin(); it != window->posted.end(); ++it) {
            if (Matches(*it, filterMin, filterMax)) {
                *message = *it;
                if ((removeFlags & PM_REMOVE) != 0) {
                    window->posted.erase(it);
                }
                return TRUE;
            }
        }
    }
    return FALSE;
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    SdlWindow* window = FromHandle(message->hwnd);
    if (window == nullptr) {
        return 0;
    }
    return Send(window, message->message, message->wParam, message->lParam);
}

BOOL PlatformWaitMessage() {
    if (HasQueuedMessages() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return TRUE;
    }
    return SDL_WaitEvent(nullptr) == 1 ? TRUE : FALSE;
}

BOOL PlatformWaitMessageTimeout(uint32_t milliseconds) {
    if (HasQueuedMessages()) {
        return TRUE;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        SDL_Delay(milliseconds);
        return FALSE;
    }
    return SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds)) == 1 ? TRUE : FALSE;
}

BOOL PlatformPostMessage(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->posted.push_back(PlatformMessage{hWnd, message, wParam, lParam, SDL_GetTicks(), 0, 0});
    return TRUE;
}

intptr_t PlatformDefWindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
    SdlWindow* window = FromHandle(hWnd);
    if (window == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the window, as it does on Windows.
        if (wParam == VK_F4 && (lParam & (1 << 29)) != 0) {
            Send(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == SC_CLOSE) {
            Send(window, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_CLOSE:
        PlatformDestroyWindow(hWnd);
        return 0;
    default:
        return 0;
    }
}
