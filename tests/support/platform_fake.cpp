// The scriptable fake window system. See platform_fake.h.
#include "tests/support/platform_fake.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "shell/win32/platform_constants.h"

namespace {

template <typename T> intptr_t AsInt(T* pointer) {
    return reinterpret_cast<intptr_t>(pointer);
}

// Calls a window's procedure directly, as the system does for messages it sends rather than posts.
intptr_t Send(WindowHandle hWnd, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    FakePlatform::Window* window = Fake().Find(hWnd);
    if (window == nullptr || window->procedure == nullptr) {
        return 0;
    }
    return window->procedure(hWnd, message, wParam, lParam);
}

intptr_t PackSize(int32_t width, int32_t height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(height) & 0xFFFF) << 16 |
                                 (static_cast<uint32_t>(width) & 0xFFFF));
}

} // namespace

FakePlatform& Fake() {
    static FakePlatform fake;
    return fake;
}

void FakePlatform::Reset() {
    *this = FakePlatform();
}

void FakePlatform::FailAt(const std::string& operation, int occurrence) {
    // Kept as an absolute call number, counted from the calls already logged.
    failures_[operation].push_back(occurrence == 0 ? 0 : Count(operation) + occurrence);
}

bool FakePlatform::ShouldFail(const std::string& operation) {
    auto found = failures_.find(operation);
    if (found == failures_.end()) {
        return false;
    }
    const int occurrence = Count(operation); // the call is already in the log
    const std::vector<int>& wanted = found->second;
    return std::find(wanted.begin(), wanted.end(), 0) != wanted.end() ||
           std::find(wanted.begin(), wanted.end(), occurrence) != wanted.end();
}

void FakePlatform::ScriptMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    ScriptStep step{
        ScriptStep::kMessage, PlatformMessage{nullptr, message, wParam, lParam, 0, 0, 0}, 0, {}};
    script.push_back(step);
}

void FakePlatform::ScriptIdle(int count) {
    for (int i = 0; i < count; ++i) {
        script.push_back(ScriptStep{ScriptStep::kIdle, PlatformMessage{}, 0, {}});
    }
}

void FakePlatform::ScriptTick(uint32_t value) {
    script.push_back(ScriptStep{ScriptStep::kTick, PlatformMessage{}, value, {}});
}

void FakePlatform::ScriptAction(std::function<void()> action) {
    ScriptStep step{ScriptStep::kAction, PlatformMessage{}, 0, {}};
    step.action = std::move(action);
    script.push_back(std::move(step));
}

void FakePlatform::Record(std::string name, std::vector<intptr_t> args,
                          std::vector<std::string> texts) {
    calls.push_back(FakeCall{std::move(name), std::move(args), std::move(texts)});
}

std::vector<std::string> FakePlatform::Names(std::initializer_list<const char*> only) const {
    std::vector<std::string> names;
    for (const FakeCall& call : calls) {
        const bool wanted =
            only.size() == 0 || std::any_of(only.begin(), only.end(),
                                            [&](const char* name) { return call.name == name; });
        if (wanted) {
            names.push_back(call.name);
        }
    }
    return names;
}

int FakePlatform::Count(const std::string& name) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                          [&](const FakeCall& call) { return call.name == name; }));
}

FakePlatform::Window* FakePlatform::Find(WindowHandle hWnd) {
    auto found = windows.find(hWnd);
    if (found == windows.end() || !found->second.alive) {
        return nullptr;
    }
    return &found->second;
}

WindowHandle FakePlatform::CurrentWindow() const {
    WindowHandle newest = nullptr;
    for (const auto& [handle, window] : windows) {
        if (window.alive && AsInt(handle) > AsInt(newest)) {
            newest = handle;
        }
    }
    return newest;
}

void FakePlatform::ClientSize(uint32_t style, int32_t outerWidth, int32_t outerHeight,
                              int32_t* width, int32_t* height) {
    const bool framed = (style & WS_CAPTION) != 0;
    *width = framed ? outerWidth - kFrameLeft - kFrameRight : outerWidth;
    *height = framed ? outerHeight - kFrameTop - kFrameBottom : outerHeight;
}

// --- Window classes ---------------------------------------------------------------------------

uint16_t PlatformRegisterClass(const PlatformWindowClass* windowClass) {
    FakePlatform& fake = Fake();
    fake.Record("RegisterClass", {AsInt(windowClass)}, {windowClass->lpszClassName});
    fake.registeredClass = *windowClass;
    if (fake.ShouldFail("RegisterClass") || fake.classes.count(windowClass->lpszClassName) != 0) {
        return 0;
    }
    fake.classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    fake.classRegistered = true;
    return 0xC001;
}

BOOL PlatformUnregisterClass(const char* className, InstanceHandle instance) {
    FakePlatform& fake = Fake();
    fake.Record("UnregisterClass", {AsInt(instance)}, {className});
    const bool existed = fake.classes.erase(className) != 0;
    fake.classRegistered = !fake.classes.empty();
    return existed ? TRUE : FALSE;
}

CursorHandle PlatformLoadCursor(InstanceHandle instance, uintptr_t cursorId) {
    Fake().Record("LoadCursor", {AsInt(instance), static_cast<intptr_t>(cursorId)});
    return reinterpret_cast<CursorHandle>(0xC0);
}

// --- Windows ----------------------------------------------------------------------------------

WindowHandle PlatformCreateWindow(uint32_t exStyle, const char* className, const char* title,
                                  uint32_t style, int32_t x, int32_t y, int32_t width,
                                  int32_t height, WindowHandle parent, MenuHandle menu,
                                  InstanceHandle instance, void* param) {
    FakePlatform& fake = Fake();
    fake.Record("CreateWindow",
                {static_cast<intptr_t>(exStyle), static_cast<intptr_t>(style), x, y, width, height,
                 AsInt(parent), AsInt(menu), AsInt(instance), AsInt(param)},
                {className, title});
    FakeCreatedWindow created{exStyle, className, title, style,    x,     y,      width,
                              height,  parent,    menu,  instance, param, nullptr};
    auto procedure = fake.classes.find(className);
    if (fake.ShouldFail("CreateWindow") || procedure == fake.classes.end()) {
        fake.createdWindows.push_back(created);
        return nullptr;
    }
    const auto hWnd = reinterpret_cast<WindowHandle>(fake.NextHandle());
    FakePlatform::Window& window = fake.windows[hWnd];
    window.procedure = procedure->second;
    window.style = style;
    window.parent = parent;
    FakePlatform::ClientSize(style, width, height, &window.clientWidth, &window.clientHeight);
    created.handle = hWnd;
    fake.createdWindows.push_back(created);
    ++fake.liveWindows;

    PlatformCreationRecord creation{param};
    if (Send(hWnd, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation)) == -1) {
        PlatformDestroyWindow(hWnd);
        return nullptr;
    }
    return hWnd;
}

BOOL PlatformShowWindow(WindowHandle hWnd, int32_t showCommand) {
    FakePlatform& fake = Fake();
    fake.Record("ShowWindow", {AsInt(hWnd), showCommand});
    FakePlatform::Window* window = fake.Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    const bool wasShown = window->shown;
    window->shown = showCommand != SW_HIDE;
    if (!wasShown && window->shown) {
        Send(hWnd, WM_SIZE, SIZE_RESTORED, PackSize(window->clientWidth, window->clientHeight));
    }
    return wasShown ? TRUE : FALSE;
}

BOOL PlatformDestroyWindow(WindowHandle hWnd) {
    FakePlatform& fake = Fake();
    fake.Record("DestroyWindow", {AsInt(hWnd)});
    if (fake.Find(hWnd) == nullptr) {
        return FALSE;
    }
    Send(hWnd, WM_DESTROY, 0, 0);
    FakePlatform::Window* window = fake.Find(hWnd);
    window->alive = false;
    window->posted.clear();
    --fake.liveWindows;
    return TRUE;
}

BOOL PlatformGetClientRect(WindowHandle hWnd, PlatformRect* rect) {
    FakePlatform& fake = Fake();
    fake.Record("GetClientRect", {AsInt(hWnd)});
    if (FakePlatform::Window* window = fake.Find(hWnd)) {
        *rect = PlatformRect{0, 0, window->clientWidth, window->clientHeight};
        return TRUE;
    }
    auto foreign = fake.foreignWindows.find(hWnd);
    if (foreign == fake.foreignWindows.end()) {
        return FALSE;
    }
    *rect = foreign->second;
    return TRUE;
}

BOOL PlatformIsWindow(WindowHandle hWnd) {
    FakePlatform& fake = Fake();
    fake.Record("IsWindow", {AsInt(hWnd)});
    return fake.Find(hWnd) != nullptr || fake.foreignWindows.count(hWnd) != 0 ? TRUE : FALSE;
}

BOOL PlatformIsWindowVisible(WindowHandle hWnd) {
    FakePlatform& fake = Fake();
    fake.Record("IsWindowVisible", {AsInt(hWnd)});
    if (FakePlatform::Window* window = fake.Find(hWnd)) {
        return window->shown ? TRUE : FALSE;
    }
    return fake.foreignWindows.count(hWnd) != 0 && !fake.hiddenWindows[hWnd] ? TRUE : FALSE;
}

WindowHandle PlatformGetParentWindow(WindowHandle hWnd) {
    FakePlatform& fake = Fake();
    fake.Record("GetParentWindow", {AsInt(hWnd)});
    if (FakePlatform::Window* window = fake.Find(hWnd)) {
        return window->parent != nullptr ? window->parent : FakePlatform::DesktopWindow();
    }
    if (hWnd == FakePlatform::DesktopWindow()) {
        return nullptr;
    }
    auto parent = fake.foreignParents.find(hWnd);
    return parent != fake.foreignParents.end() ? parent->second : FakePlatform::DesktopWindow();
}

BOOL PlatformMoveWindow(WindowHandle hWnd, int32_t x, int32_t y, int32_t width, int32_t height,
                        BOOL repaint) {
    FakePlatform& fake = Fake();
    fake.Record("MoveWindow", {AsInt(hWnd), x, y, width, height, repaint});
    FakePlatform::Window* window = fake.Find(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    int32_t clientWidth = 0, clientHeight = 0;
    FakePlatform::ClientSize(window->style, width, height, &clientWidth, &clientHeight);
    if (clientWidth != window->clientWidth || clientHeight != window->clientHeight) {
        window->clientWidth = clientWidth;
        window->clientHeight = clientHeight;
        Send(hWnd, WM_SIZE, SIZE_RESTORED, PackSize(clientWidth, clientHeight));
    }
    return TRUE;
}

WindowHandle PlatformGetDesktopWindow() {
    FakePlatform& fake = Fake();
    fake.Record("GetDesktopWindow");
    return FakePlatform::DesktopWindow();
}

void FakePlatform::DestroyForeignWindow(WindowHandle hWnd) {
    foreignWindows.erase(hWnd);
    for (auto& [handle, window] : windows) {
        if (window.alive && window.parent == hWnd) {
            Send(handle, WM_DESTROY, 0, 0);
            window.alive = false;
            window.posted.clear();
            --liveWindows;
        }
    }
}

intptr_t PlatformGetWindowLongPtr(WindowHandle hWnd, int32_t index) {
    FakePlatform& fake = Fake();
    fake.Record("GetWindowLongPtr", {AsInt(hWnd), index});
    FakePlatform::Window* window = fake.Find(hWnd);
    return window != nullptr && index == GWL_USERDATA ? window->userData : 0;
}

intptr_t PlatformSetWindowLongPtr(WindowHandle hWnd, int32_t index, intptr_t value) {
    FakePlatform& fake = Fake();
    fake.Record("SetWindowLongPtr", {AsInt(hWnd), index, value});
    FakePlatform::Window* window = fake.Find(hWnd);
    if (window == nullptr || index != GWL_USERDATA) {
        return 0;
    }
    const intptr_t previous = window->userData;
    window->userData = value;
    return previous;
}

BOOL PlatformAdjustWindowRectEx(PlatformRect* rect, uint32_t style, BOOL hasMenu,
                                uint32_t exStyle) {
    Fake().Record("AdjustWindowRectEx",
                  {rect->left, rect->top, rect->right, rect->bottom, static_cast<intptr_t>(style),
                   hasMenu, static_cast<intptr_t>(exStyle)});
    if ((style & WS_CAPTION) != 0) {
        rect->left -= FakePlatform::kFrameLeft;
        rect->top -= FakePlatform::kFrameTop;
        rect->right += FakePlatform::kFrameRight;
        rect->bottom += FakePlatform::kFrameBottom;
    }
    return TRUE;
}

// --- Device contexts, pixel formats, OpenGL contexts ------------------------------------------

DeviceContextHandle PlatformGetDC(WindowHandle hWnd) {
    FakePlatform& fake = Fake();
    fake.Record("GetDC", {AsInt(hWnd)});
    if (fake.ShouldFail("GetDC") || fake.Find(hWnd) == nullptr) {
        return nullptr;
    }
    ++fake.liveDeviceContexts;
    return reinterpret_cast<DeviceContextHandle>(fake.NextHandle() + 1);
}

int32_t PlatformReleaseDC(WindowHandle hWnd, DeviceContextHandle hDC) {
    FakePlatform& fake = Fake();
    fake.Record("ReleaseDC", {AsInt(hWnd), AsInt(hDC)});
    --fake.liveDeviceContexts;
    return 1;
}

int32_t PlatformChoosePixelFormat(DeviceContextHandle hDC, const PlatformPixelFormat* format) {
    FakePlatform& fake = Fake();
    fake.Record("ChoosePixelFormat", {AsInt(hDC), AsInt(format)});
    fake.chosenFormats.push_back(*format);
    return fake.ShouldFail("ChoosePixelFormat") ? 0 : 7;
}

BOOL PlatformSetPixelFormat(DeviceContextHandle hDC, int32_t formatIndex,
                            const PlatformPixelFormat* format) {
    FakePlatform& fake = Fake();
    fake.Record("SetPixelFormat", {AsInt(hDC), formatIndex, AsInt(format)});
    fake.setFormats.push_back(*format);
    return fake.ShouldFail("SetPixelFormat") ? FALSE : TRUE;
}

RenderContextHandle PlatformCreateContext(DeviceContextHandle hDC) {
    FakePlatform& fake = Fake();
    fake.Record("CreateContext", {AsInt(hDC)});
    if (fake.ShouldFail("CreateContext")) {
        return nullptr;
    }
    ++fake.liveContexts;
    return reinterpret_cast<RenderContextHandle>(fake.NextHandle() + 2);
}

BOOL PlatformMakeCurrent(DeviceContextHandle hDC, RenderContextHandle hRC) {
    FakePlatform& fake = Fake();
    fake.Record("MakeCurrent", {AsInt(hDC), AsInt(hRC)});
    if (fake.ShouldFail("MakeCurrent")) {
        return FALSE;
    }
    fake.currentContext = hRC;
    return TRUE;
}

BOOL PlatformDeleteContext(RenderContextHandle hRC) {
    FakePlatform& fake = Fake();
    fake.Record("DeleteContext", {AsInt(hRC)});
    if (fake.currentContext == hRC) {
        fake.currentContext = nullptr;
    }
    --fake.liveContexts;
    return TRUE;
}

BOOL PlatformSwapBuffers(DeviceContextHandle hDC) {
    Fake().Record("SwapBuffers", {AsInt(hDC)});
    return TRUE;
}

// --- Display, cursor, message boxes, time -----------------------------------------------------

BOOL PlatformSetSwapInterval(int32_t interval) {
    FakePlatform& fake = Fake();
    fake.Record("SetSwapInterval", {interval});
    return fake.ShouldFail("SetSwapInterval") ? FALSE : TRUE;
}

int32_t PlatformChangeDisplaySettings(const PlatformDisplayMode* mode, uint32_t flags) {
    FakePlatform& fake = Fake();
    fake.Record("ChangeDisplaySettings", {AsInt(mode), static_cast<intptr_t>(flags)});
    fake.displayFlags.push_back(flags);
    if (mode == nullptr) {
        fake.displaySwitched = false;
        return DISP_CHANGE_SUCCESSFUL;
    }
    fake.requestedModes.push_back(*mode);
    if (fake.ShouldFail("ChangeDisplaySettings")) {
        return DISP_CHANGE_BADMODE;
    }
    fake.displaySwitched = true;
    return DISP_CHANGE_SUCCESSFUL;
}

int32_t PlatformShowCursor(BOOL show) {
    FakePlatform& fake = Fake();
    fake.Record("ShowCursor", {show});
    fake.cursorCount += show ? 1 : -1;
    return fake.cursorCount;
}

int32_t PlatformMessageBox(WindowHandle owner, const char* text, const char* caption,
                           uint32_t type) {
    FakePlatform& fake = Fake();
    fake.Record("MessageBox", {AsInt(owner), static_cast<intptr_t>(type)}, {text, caption});
    fake.messageBoxes.push_back(FakeMessageBox{owner, text, caption, type});
    return IDOK;
}

int32_t PlatformGetDisplayFrequency() {
    Fake().Record("GetDisplayFrequency");
    return Fake().displayFrequency;
}

int32_t PlatformEnumDisplayMonitors(PlatformMonitor* monitors, int32_t capacity) {
    FakePlatform& fake = Fake();
    fake.Record("EnumDisplayMonitors", {capacity});
    const int32_t count = static_cast<int32_t>(fake.monitors.size());
    for (int32_t i = 0; i < count && i < capacity; ++i) {
        monitors[i] = fake.monitors[static_cast<size_t>(i)];
    }
    return count;
}

BOOL PlatformReadSetting(const char* name, uint32_t* value) {
    FakePlatform& fake = Fake();
    fake.Record("ReadSetting", {}, {name});
    auto found = fake.settings.find(name);
    if (found == fake.settings.end()) {
        return FALSE;
    }
    *value = found->second;
    return TRUE;
}

BOOL PlatformWriteSetting(const char* name, uint32_t value) {
    FakePlatform& fake = Fake();
    fake.Record("WriteSetting", {static_cast<intptr_t>(value)}, {name});
    if (!fake.settingsWritable) {
        return FALSE;
    }
    fake.settings[name] = value;
    return TRUE;
}

BOOL PlatformEditSaverSettings(InstanceHandle instance, WindowHandle owner,
                               SaverSettings* settings) {
    FakePlatform& fake = Fake();
    fake.Record("EditSaverSettings", {AsInt(instance), AsInt(owner)});
    fake.dialogsShown.push_back(*settings);
    if (!fake.dialogAccepted) {
        return FALSE;
    }
    *settings = fake.dialogChoice;
    return TRUE;
}

uint32_t PlatformGetTickCount() {
    FakePlatform& fake = Fake();
    const uint32_t now = fake.tickCount;
    fake.tickCount += fake.tickStep;
    fake.Record("GetTickCount", {static_cast<intptr_t>(now)});
    return now;
}

// --- The message queue ------------------------------------------------------------------------

BOOL PlatformPeekMessage(PlatformMessage* message, WindowHandle hWnd, uint32_t filterMin,
                         uint32_t filterMax, uint32_t removeFlags) {
    FakePlatform& fake = Fake();
    fake.Record("PeekMessage",
                {AsInt(hWnd), static_cast<intptr_t>(filterMin), static_cast<intptr_t>(filterMax),
                 static_cast<intptr_t>(removeFlags)});
    const WindowHandle target = hWnd != nullptr ? hWnd : fake.CurrentWindow();
    FakePlatform::Window* window = fake.Find(target);

    // Posted messages first, then the script, as the system takes posted messages before input.
    if (window != nullptr && !window->posted.empty()) {
        *message = window->posted.front();
        if (removeFlags & PM_REMOVE) {
            window->posted.pop_front();
        }
        return TRUE;
    }
    while (!fake.script.empty() &&
           (fake.script.front().kind == FakePlatform::ScriptStep::kTick ||
            fake.script.front().kind == FakePlatform::ScriptStep::kAction)) {
        const FakePlatform::ScriptStep step = fake.script.front();
        fake.script.pop_front();
        if (step.kind == FakePlatform::ScriptStep::kTick) {
            fake.tickCount = step.tickCount;
        } else {
            step.action();
        }
    }
    if (fake.script.empty()) {
        if (++fake.peeksSinceScriptEnded > fake.peeksAfterScript) {
            std::fprintf(stderr, "fake platform: the loop is still running after its script\n");
            std::abort();
        }
        return FALSE;
    }
    const FakePlatform::ScriptStep step = fake.script.front();
    if (removeFlags & PM_REMOVE) {
        fake.script.pop_front();
    }
    if (step.kind == FakePlatform::ScriptStep::kIdle || window == nullptr) {
        return FALSE;
    }
    *message = step.message;
    message->hwnd = target;
    message->time = fake.tickCount;
    return TRUE;
}

intptr_t PlatformDispatchMessage(const PlatformMessage* message) {
    FakePlatform& fake = Fake();
    fake.Record("DispatchMessage", {AsInt(message->hwnd), static_cast<intptr_t>(message->message),
                                    static_cast<intptr_t>(message->wParam), message->lParam});
    return Send(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PlatformWaitMessage() {
    Fake().Record("WaitMessage");
    return TRUE;
}

BOOL PlatformWaitMessageTimeout(uint32_t milliseconds) {
    FakePlatform& fake = Fake();
    fake.Record("WaitMessageTimeout", {static_cast<intptr_t>(milliseconds)});
    // Input that the script has ready ends the wait at once; otherwise the whole time passes.
    const bool inputReady =
        !fake.script.empty() && fake.script.front().kind == FakePlatform::ScriptStep::kMessage;
    if (!inputReady) {
        fake.tickCount += milliseconds;
    }
    return inputReady ? TRUE : FALSE;
}

intptr_t PlatformDefWindowProc(WindowHandle hWnd, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
    Fake().Record("DefWindowProc", {AsInt(hWnd), static_cast<intptr_t>(message),
                                    static_cast<intptr_t>(wParam), lParam});
    return 0;
}
