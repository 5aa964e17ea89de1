// The Windows host's window procedure on the scriptable Win32 stand-in: what each message becomes
// among the host's events, and what is left to the default handling.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/win32/platform_constants.h"
#include "shell/win32/window.h"
#include "shell/win32/window_proc.h"
#include "tests/support/platform_fake.h"

namespace {

class ShellWindowProc : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake().Reset();
        record.id = 7;
        record.events = &events;
        record.gl.application = &application;
        record.gl.title = "zorvik - tavrin 2005";
        record.gl.width = 1280;
        record.gl.height = 720;
        record.gl.bitsPerPixel = 32;
        ASSERT_TRUE(RegisterWindowClass(&application));
        ASSERT_TRUE(CreateWindowGL(&record));
        hWnd = record.gl.hWnd;
        events.clear();
        Fake().calls.clear();
    }
    void TearDown() override { DestroyWindowGL(&record); }

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
        return WindowProc(hWnd, message, wParam, lParam);
    }

    Application application{reinterpret_cast<InstanceHandle>(0x400000), "OpenGL", FALSE};
    std::deque<HostEvent> events;
    HostWindow record;
    WindowHandle hWnd = nullptr;
};

TEST_F(ShellWindowProc, MessagesBecomeEvents) {
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        intptr_t lParam;
        bool awake; // the window holds the screen saver off
        // The event made ("" none), its fields, and whether the default handling followed.
        std::string event;
        int32_t a, b;
        bool toDefault;
    };
    const Case cases[] = {
        {WM_KEYDOWN, 27, 0, true, "key 27 down", 0, 0, false},
        {WM_KEYUP, 112, 0, true, "key 112 up", 0, 0, false},
        {WM_KEYDOWN, 256, 0, true, "", 0, 0, true}, // no such key
        {WM_SYSKEYDOWN, VK_F4, 1 << 29, true, "key 115 down alt", 0, 0, true},
        {WM_SYSKEYUP, VK_F10, 0, true, "key 121 up alt", 0, 0, true},
        {WM_SIZE, SIZE_RESTORED, 800 | 600 << 16, true, "resized", 800, 600, false},
        {WM_SIZE, SIZE_MAXIMIZED, 1600 | 900 << 16, true, "resized", 1600, 900, false},
        {WM_SIZE, SIZE_MINIMIZED, 0, true, "hidden", 0, 0, false},
        {WM_SIZE, 3, 0, true, "", 0, 0, true}, // SIZE_MAXSHOW concerns other windows
        {WM_CLOSE, 0, 0, true, "close", 0, 0, false},
        {WM_MOUSEMOVE, 0, 0xFFF6 | 20 << 16, true, "move", -10, 20, true},
        {WM_RBUTTONDOWN, 2, 5 | 6 << 16, true, "button", 5, 6, true},
        {WM_ACTIVATEAPP, FALSE, 0, true, "focus lost", 0, 0, true},
        {WM_ACTIVATEAPP, TRUE, 0, true, "", 0, 0, true},
        {WM_DISPLAYCHANGE, 32, 0, true, "outputs", 0, 0, true},
        // The animation holds the screen saver and the monitor's power-down off; a screen
        // saver lets them come. Only exact commands: the low bits are not masked off.
        {WM_SYSCOMMAND, SC_SCREENSAVE, 0, true, "", 0, 0, false},
        {WM_SYSCOMMAND, SC_MONITORPOWER, 0, true, "", 0, 0, false},
        {WM_SYSCOMMAND, SC_MONITORPOWER + 2, 0, true, "", 0, 0, true},
        {WM_SYSCOMMAND, SC_SCREENSAVE, 0, false, "", 0, 0, true},
        {WM_SYSCOMMAND, SC_MONITORPOWER, 0, false, "", 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.message) + " " + std::to_string(c.wParam));
        events.clear();
        Fake().calls.clear();
        record.keepsDisplayAwake = c.awake;
        const intptr_t result = Send(c.message, c.wParam, c.lParam);
        EXPECT_EQ(Fake().Count("DefWindowProc"), c.toDefault ? 1 : 0);
        if (!c.toDefault) {
            EXPECT_EQ(result, 0);
        }
        if (c.event.empty()) {
            EXPECT_TRUE(events.empty());
            continue;
        }
        ASSERT_EQ(events.size(), 1u);
        const HostEvent& e = events.front();
        EXPECT_EQ(e.surface, 7u);
        std::string said;
        switch (e.kind) {
        case HostEventKind::kKey:
            said = "key " + std::to_string(e.key) + (e.down ? " down" : " up") +
                   (e.withAlt ? " alt" : "");
            break;
        case HostEventKind::kResized:
            said = "resized";
            EXPECT_EQ(e.width, c.a);
            EXPECT_EQ(e.height, c.b);
            break;
        case HostEventKind::kHidden:
            said = "hidden";
            break;
        case HostEventKind::kCloseRequested:
            said = "close";
            break;
        case HostEventKind::kPointerMove:
        case HostEventKind::kPointerButton:
            said = e.kind == HostEventKind::kPointerMove ? "move" : "button";
            EXPECT_EQ(e.x, c.a);
            EXPECT_EQ(e.y, c.b);
            break;
        case HostEventKind::kFocusLost:
            said = "focus lost";
            break;
        case HostEventKind::kOutputsChanged:
            said = "outputs";
            break;
        default:
            said = "other";
            break;
        }
        EXPECT_EQ(said, c.event);
    }
    // A close request leaves the window to the program, which tears it down in its own order.
    EXPECT_EQ(Fake().liveWindows, 1);
    EXPECT_EQ(record.gl.isVisible, FALSE); // the last size message minimised it
}

TEST_F(ShellWindowProc, OnlyAnotherProgramDestroyingTheWindowIsHostGone) {
    Send(WM_DESTROY, 0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events.front().kind, HostEventKind::kHostGone);
    EXPECT_TRUE(record.gone);
    // The host's own destruction clears the handle first: nothing is said.
    events.clear();
    record.gone = false;
    record.gl.hWnd = nullptr;
    Send(WM_DESTROY, 0);
    EXPECT_TRUE(events.empty());
    record.gl.hWnd = hWnd;
}

} // namespace
