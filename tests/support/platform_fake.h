// A scriptable stand-in for the window system, linked into the shell's tests in place of a real
// platform. It keeps a log of every platform call in order, can make any operation fail, and
// feeds the message loop from a script of messages, idle turns and clock settings.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "shell/saver_settings.h"
#include "shell/win32/platform.h"
#include "shell/win32/platform_constants.h"

struct FakeCall {
    std::string name;               // the operation without its "Platform" prefix, e.g. "GetDC"
    std::vector<intptr_t> args;     // its numeric arguments (handles and pointers as integers)
    std::vector<std::string> texts; // its text arguments
};

struct FakeMessageBox {
    WindowHandle owner;
    std::string text;
    std::string caption;
    uint32_t type;
};

struct FakeCreatedWindow {
    uint32_t exStyle;
    std::string className;
    std::string title;
    uint32_t style;
    int32_t x, y, width, height;
    WindowHandle parent;
    MenuHandle menu;
    InstanceHandle instance;
    void* param;
    WindowHandle handle; // null when the creation failed
};

class FakePlatform {
  public:
    // The frame the fake window system puts around a captioned window, on each side.
    static constexpr int32_t kFrameLeft = 8;
    static constexpr int32_t kFrameTop = 31;
    static constexpr int32_t kFrameRight = 8;
    static constexpr int32_t kFrameBottom = 8;

    // Forgets everything: log, script, failures, windows, classes, display and cursor state.
    void Reset();

    // --- Failure injection -------------------------------------------------------------------
    // Makes the given occurrence (1 = the next call from now on) of an operation fail; 0 makes
    // every call fail. Names as in the log.
    void FailAt(const std::string& operation, int occurrence = 1);

    // --- Script --------------------------------------------------------------------------------
    // A message for the window that peeks next, delivered when its posted queue is empty.
    void ScriptMessage(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    // `count` peeks that find nothing waiting.
    void ScriptIdle(int count = 1);
    // Sets the tick count when the script reaches this point.
    void ScriptTick(uint32_t tickCount);
    // Runs an action of the test's when the script reaches this point (between two peeks).
    void ScriptAction(std::function<void()> action);
    // Once the script is used up, this many further empty peeks abort the test run, so that a
    // loop that never ends fails loudly instead of hanging.
    int peeksAfterScript = 10000;

    // The tick count returned next, and how far each reading moves it on.
    uint32_t tickCount = 0;
    uint32_t tickStep = 0;

    // --- Observations --------------------------------------------------------------------------
    std::vector<FakeCall> calls;
    // Appends a call to the log (the recording scene hooks use this too).
    void Record(std::string name, std::vector<intptr_t> args = {},
                std::vector<std::string> texts = {});
    // The names of the logged calls, keeping only those listed (all when the list is empty).
    std::vector<std::string> Names(std::initializer_list<const char*> only = {}) const;
    // How many logged calls have this name.
    int Count(const std::string& name) const;

    bool classRegistered = false;
    PlatformWindowClass registeredClass{};
    std::vector<PlatformPixelFormat> chosenFormats; // every descriptor passed to ChoosePixelFormat
    std::vector<PlatformPixelFormat> setFormats;    // every descriptor passed to SetPixelFormat
    std::vector<PlatformDisplayMode> requestedModes;
    std::vector<uint32_t> displayFlags; // the flags of every ChangeDisplaySettings call
    std::vector<FakeMessageBox> messageBoxes;
    std::vector<FakeCreatedWindow> createdWindows;
    bool displaySwitched = false;
    // Windows of other programs (a preview host, the desktop), by handle, with their client areas.
    std::map<WindowHandle, PlatformRect> foreignWindows;
    static WindowHandle DesktopWindow() { return reinterpret_cast<WindowHandle>(0xDE5C); }
    // Foreign windows that are hidden (shown otherwise), and the window each lies in when it is
    // not a top-level window of the desktop (a message-only window's parent is not the desktop).
    std::map<WindowHandle, bool> hiddenWindows;
    std::map<WindowHandle, WindowHandle> foreignParents;
    // A foreign window goes: as on Windows, its children are destroyed with it.
    void DestroyForeignWindow(WindowHandle hWnd);
    int cursorCount = 0; // the cursor shows while this is >= 0
    int32_t displayFrequency = 60;
    // The monitors, the primary one marked; by default the one primary display.
    std::vector<PlatformMonitor> monitors{{{0, 0, 1920, 1080}, kMonitorPrimary}};
    std::map<std::string, uint32_t> settings; // the stored settings
    bool settingsWritable = true;
    // The settings dialog: what it was shown each time it opened, and how the user answers: OK
    // with `dialogChoice`, or Cancel.
    std::vector<SaverSettings> dialogsShown;
    bool dialogAccepted = false;
    SaverSettings dialogChoice;
    RenderContextHandle currentContext = nullptr;
    int liveWindows = 0;
    int liveDeviceContexts = 0;
    int liveContexts = 0;

    // The newest window that still exists, or null.
    WindowHandle CurrentWindow() const;
    // The client size the fake gives a window of that outer size and style.
    static void ClientSize(uint32_t style, int32_t outerWidth, int32_t outerHeight, int32_t* width,
                           int32_t* height);

    // --- Used by the platform operations -------------------------------------------------------
    struct Window {
        WindowProcedure procedure = nullptr;
        uint32_t style = 0;
        WindowHandle parent = nullptr;
        int32_t clientWidth = 0;
        int32_t clientHeight = 0;
        intptr_t userData = 0;
        bool shown = false;
        bool alive = true;
        std::deque<PlatformMessage> posted;
    };
    struct ScriptStep {
        enum Kind { kMessage, kIdle, kTick, kAction } kind;
        PlatformMessage message;
        uint32_t tickCount;
        std::function<void()> action;
    };
    bool ShouldFail(const std::string& operation);
    Window* Find(WindowHandle hWnd);
    intptr_t NextHandle() { return ++lastHandle_ * 0x10; }

    std::map<std::string, WindowProcedure> classes;
    std::map<WindowHandle, Window> windows;
    std::deque<ScriptStep> script;
    int peeksSinceScriptEnded = 0;

  private:
    std::map<std::string, std::vector<int>> failures_; // operation -> occurrences (0 = all)
    intptr_t lastHandle_ = 0;
};

// The one fake window system of the test process.
FakePlatform& Fake();
