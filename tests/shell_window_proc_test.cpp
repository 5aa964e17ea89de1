// The window procedure and the two requests, on the fake window system.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/main_loop.h"
#include "shell/platform_constants.h"
#include "shell/platform_fake.h"
#include "shell/window.h"
#include "shell/window_proc.h"

namespace {

using Names = std::vector<std::string>;

class ShellWindowProc : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake().Reset();
        std::memset(&guarded, 0, sizeof guarded);
        std::memset(&window, 0, sizeof window);
        window.keys = &guarded.keys;
        window.application = &application;
        window.title = "zorvik - tavrin 2005";
        window.width = 1280;
        window.height = 720;
        window.bitsPerPixel = 32;
        ASSERT_TRUE(RegisterWindowClass(&application));
        ASSERT_TRUE(CreateWindowGL(&window));
        hWnd = window.hWnd;
        g_isProgramLooping = TRUE;
        g_createFullScreen = TRUE;
        Fake().calls.clear();
    }
    void TearDown() override { DestroyWindowGL(&window); }

    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam = 0) {
        return WindowProc(hWnd, message, wParam, lParam);
    }
    // The messages posted since the last clear, as (window, message, wParam, lParam).
    static std::vector<std::vector<intptr_t>> Posted() {
        std::vector<std::vector<intptr_t>> posted;
        for (const FakeCall& call : Fake().calls) {
            if (call.name == "PostMessage") {
                posted.push_back(call.args);
            }
        }
        return posted;
    }
    std::vector<intptr_t> Quit() const {
        return {reinterpret_cast<intptr_t>(hWnd), static_cast<intptr_t>(WM_QUIT), 0, 0};
    }

    // The key table with a canary on each side, to catch writes outside it.
    struct {
        int32_t before[4];
        Keys keys;
        int32_t after[4];
    } guarded;
    Application application{reinterpret_cast<InstanceHandle>(0x400000), "OpenGL", FALSE};
    GL_Window window{};
    WindowHandle hWnd = nullptr;
};

TEST_F(ShellWindowProc, CreateStoresTheCreationParameterAsUserData) {
    GL_Window other{};
    PlatformCreationRecord creation{&other};
    EXPECT_EQ(Send(WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation)), 0);
    const FakeCall& set = Fake().calls.back();
    ASSERT_EQ(set.name, "SetWindowLongPtr");
    EXPECT_EQ(set.args, (std::vector<intptr_t>{reinterpret_cast<intptr_t>(hWnd), -21,
                                               reinterpret_cast<intptr_t>(&other)}));
    EXPECT_EQ(PlatformGetWindowLongPtr(hWnd, -21), reinterpret_cast<intptr_t>(&other));
    // The window goes with the fixture's record again, which outlives this test's.
    PlatformSetWindowLongPtr(hWnd, -21, reinterpret_cast<intptr_t>(&window));
}

TEST_F(ShellWindowProc, SizeMessagesSetVisibilityByTheirKind) {
    EXPECT_EQ(Send(WM_SIZE, SIZE_MINIMIZED, 0), 0);
    EXPECT_EQ(window.isVisible, FALSE);
    EXPECT_EQ(Send(WM_SIZE, SIZE_RESTORED, 800 | 600 << 16), 0);
    EXPECT_EQ(window.isVisible, TRUE);
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(Send(WM_SIZE, SIZE_MAXIMIZED, 1600 | 900 << 16), 0);
    EXPECT_EQ(window.isVisible, TRUE);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 0);
    // Every new client size goes to the scene, which keeps its own view for it; a minimised
    // window has none.
    std::vector<std::vector<intptr_t>> reshapes;
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "Reshape") {
            reshapes.push_back(call.args);
        }
    }
    EXPECT_EQ(reshapes, (std::vector<std::vector<intptr_t>>{{800, 600}, {1600, 900}}));

    // SIZE_MAXSHOW and SIZE_MAXHIDE concern other windows: default handling, no change.
    window.isVisible = FALSE;
    Send(WM_SIZE, 3, 0);
    Send(WM_SIZE, 4, 0);
    EXPECT_EQ(window.isVisible, FALSE);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 2);
}

TEST_F(ShellWindowProc, KeysWithinTheTableAreRecordedAndReleased) {
    for (uintptr_t code : {uintptr_t{0}, uintptr_t{27}, uintptr_t{112}, uintptr_t{255}}) {
        EXPECT_EQ(Send(WM_KEYDOWN, code), 0);
        EXPECT_EQ(guarded.keys.keyDown[code], 1) << code;
    }
    EXPECT_EQ(Send(WM_KEYUP, 27), 0);
    EXPECT_EQ(guarded.keys.keyDown[27], 0);
    EXPECT_EQ(guarded.keys.keyDown[112], 1);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 0);
}

TEST_F(ShellWindowProc, KeyCodesAbove255GoToTheDefaultHandlingAndTouchNothing) {
    const auto before = guarded;
    for (uintptr_t code : {uintptr_t{256}, uintptr_t{259}, uintptr_t{0x10000}, ~uintptr_t{0}}) {
        Send(WM_KEYDOWN, code);
        Send(WM_KEYUP, code);
    }
    EXPECT_EQ(std::memcmp(&before, &guarded, sizeof guarded), 0);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 8);
}

TEST_F(ShellWindowProc, SystemKeysAreNotRecorded) {
    Send(WM_SYSKEYDOWN, VK_F1);
    Send(WM_SYSKEYDOWN, VK_F10);
    EXPECT_EQ(guarded.keys.keyDown[VK_F1], 0);
    EXPECT_EQ(guarded.keys.keyDown[VK_F10], 0);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 2);
}

TEST_F(ShellWindowProc, ScreenSaverAndMonitorPowerAreSwallowedOtherCommandsAreNot) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 0);
    // Only exact matches: the low four bits of a system command are not masked off.
    Send(WM_SYSCOMMAND, SC_SCREENSAVE + 1);
    Send(WM_SYSCOMMAND, SC_MONITORPOWER + 2);
    Send(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 3);
}

TEST_F(ShellWindowProc, CloseAsksTheLoopToQuitAndDoesNotDestroyTheWindow) {
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);
    EXPECT_EQ(Posted(), (std::vector<std::vector<intptr_t>>{Quit()}));
    EXPECT_EQ(g_isProgramLooping, FALSE);
    EXPECT_EQ(Fake().Count("DestroyWindow"), 0);
    EXPECT_EQ(Fake().Count("DefWindowProc"), 0);
    EXPECT_EQ(Fake().liveWindows, 1);
}

TEST_F(ShellWindowProc, ToggleFlipsTheModeAndPostsQuitThenDefaultHandling) {
    Send(WM_TOGGLEFULLSCREEN, 0);
    EXPECT_EQ(g_createFullScreen, FALSE);
    EXPECT_EQ(g_isProgramLooping, TRUE);
    EXPECT_EQ(Fake().Names({"PostMessage", "DefWindowProc"}),
              (Names{"PostMessage", "DefWindowProc"}));
    EXPECT_EQ(Posted(), (std::vector<std::vector<intptr_t>>{Quit()}));

    Send(WM_TOGGLEFULLSCREEN, 0);
    EXPECT_EQ(g_createFullScreen, TRUE);
}

TEST_F(ShellWindowProc, RequestsArePostedToTheWindowWithEmptyParameters) {
    ToggleFullscreen(&window);
    EXPECT_EQ(g_isProgramLooping, TRUE);
    EXPECT_EQ(g_createFullScreen, TRUE); // the flip happens only when the message is handled
    TerminateApplication(&window);
    EXPECT_EQ(g_isProgramLooping, FALSE);
    EXPECT_EQ(Posted(), (std::vector<std::vector<intptr_t>>{
                            {reinterpret_cast<intptr_t>(hWnd), 0x401, 0, 0}, Quit()}));
}

} // namespace
