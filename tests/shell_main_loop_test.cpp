// The entry point and its two loops, driven by a scripted fake window system and recording scene
// hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/main_loop.h"
#include "shell/platform_constants.h"
#include "shell/platform_fake.h"
#include "tests/support/recording_scene.h"

namespace {

using Names = std::vector<std::string>;

const auto kInstance = reinterpret_cast<InstanceHandle>(0x400000);

class ShellMainLoop : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake().Reset();
        Scene() = RecordingScene();
        Scene().onUpdate = ActOnEscAndF1;
        g_isProgramLooping = FALSE;
        g_createFullScreen = FALSE;
    }

    static int Run() { return RunZorvik(kInstance, Options{}); }

    // The scene hooks and the calls that make or unmake windows, in order.
    static Names Story() {
        return Fake().Names({"CreateWindow", "Initialize", "Update", "Draw", "SwapBuffers",
                             "WaitMessage", "Deinitialize", "DestroyWindow", "UnregisterClass"});
    }
    static std::vector<uint32_t> Updates() {
        std::vector<uint32_t> updates;
        for (const FakeCall& call : Fake().calls) {
            if (call.name == "Update") {
                updates.push_back(static_cast<uint32_t>(call.args.at(0)));
            }
        }
        return updates;
    }
    static std::vector<uint32_t> CreatedStyles() {
        std::vector<uint32_t> styles;
        for (const FakeCreatedWindow& created : Fake().createdWindows) {
            styles.push_back(created.style);
        }
        return styles;
    }
};

TEST_F(ShellMainLoop, RefusedClassShowsTwoBoxesAndReturnsMinusOne) {
    Fake().FailAt("RegisterClass");
    EXPECT_EQ(Run(), -1);
    ASSERT_EQ(Fake().messageBoxes.size(), 2u);
    EXPECT_EQ(Fake().messageBoxes[0].text, "RegisterClassEx Failed!");
    EXPECT_EQ(Fake().messageBoxes[1].text, "Error Registering Window Class!");
    for (const FakeMessageBox& box : Fake().messageBoxes) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, 0x30u);
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(Fake().Count("CreateWindow"), 0);
    EXPECT_EQ(Fake().Count("UnregisterClass"), 0);
}

TEST_F(ShellMainLoop, FailedCreationShowsItsBoxCallsNoSceneAndReturnsOne) {
    Fake().FailAt("CreateContext");
    // A run that could not make its window has failed: the exit code says so.
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(Fake().messageBoxes.size(), 1u);
    EXPECT_EQ(Fake().messageBoxes[0].text, "Error Creating OpenGL Window");
    EXPECT_EQ(Fake().messageBoxes[0].caption, "Error");
    EXPECT_EQ(Fake().messageBoxes[0].type, 0x30u);
    EXPECT_EQ(Story(), (Names{"CreateWindow", "DestroyWindow", "UnregisterClass"}));
    EXPECT_EQ(g_isProgramLooping, FALSE);
    // The first window is full screen; its switched mode does not outlive the failure.
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
    const FakeCall& unregister = Fake().calls.back();
    EXPECT_EQ(unregister.name, "UnregisterClass");
    EXPECT_EQ(unregister.texts, (std::vector<std::string>{"OpenGL"}));
    EXPECT_EQ(unregister.args, (std::vector<intptr_t>{reinterpret_cast<intptr_t>(kInstance)}));
}

TEST_F(ShellMainLoop, RefusedInitializeEndsTheProgramWithoutAFrame) {
    Scene().initializeResult = FALSE;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Story(), (Names{"CreateWindow", "Initialize", "Deinitialize", "DestroyWindow",
                              "UnregisterClass"}));
    EXPECT_EQ(g_isProgramLooping, FALSE);
}

TEST_F(ShellMainLoop, StartsFullScreenWithTheProgramsRecords) {
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(Fake().createdWindows.size(), 1u);
    const FakeCreatedWindow& created = Fake().createdWindows[0];
    EXPECT_EQ(created.style, WS_POPUP);
    EXPECT_EQ(created.width, 1280);
    EXPECT_EQ(created.height, 720);
    EXPECT_EQ(created.title, "zorvik - tavrin 2005");
    EXPECT_EQ(created.className, "OpenGL");
    EXPECT_EQ(created.instance, kInstance);
    const auto* window = static_cast<GL_Window*>(created.param);
    const Names names = Fake().Names();
    const auto found = std::find(names.begin(), names.end(), "Initialize");
    ASSERT_NE(found, names.end());
    const FakeCall& initialize = Fake().calls.at(static_cast<size_t>(found - names.begin()));
    EXPECT_EQ(initialize.args.at(0), reinterpret_cast<intptr_t>(window));
    EXPECT_EQ(initialize.args.at(1), reinterpret_cast<intptr_t>(window->keys));
    EXPECT_EQ(Fake().requestedModes.at(0).dmBitsPerPel, 32u);
}

TEST_F(ShellMainLoop, EscFinishesItsFrameThenTearsDownAndRestoresTheDisplay) {
    Fake().tickStep = 10;
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Story(),
              (Names{"CreateWindow", "Initialize", "Update", "Draw", "SwapBuffers", "Update",
                     "Draw", "SwapBuffers", "Deinitialize", "DestroyWindow", "UnregisterClass"}));
    // The quit request comes from the second Update, and the frame still completes.
    EXPECT_EQ(Fake().Names({"Update", "PostMessage", "Draw"}),
              (Names{"Update", "Draw", "Update", "PostMessage", "Draw"}));
    EXPECT_EQ(Updates(), (std::vector<uint32_t>{10, 10}));
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
    EXPECT_EQ(Fake().liveWindows, 0);
}

TEST_F(ShellMainLoop, F1RecreatesTheWindowInTheOtherModeEachTime) {
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1); // full screen -> window
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1); // window -> full screen
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(Run(), 0);

    // Creation clears the key table, so the held F1 toggles only once per press.
    EXPECT_EQ(CreatedStyles(), (std::vector<uint32_t>{WS_POPUP, WS_OVERLAPPEDWINDOW, WS_POPUP}));
    EXPECT_EQ(Fake().Count("Initialize"), 3);
    EXPECT_EQ(Fake().Count("Deinitialize"), 3);
    EXPECT_EQ(Fake().Count("AdjustWindowRectEx"), 1); // the windowed one is framed to fit
    EXPECT_EQ(g_createFullScreen, TRUE);
    // Per toggle: the key is dispatched, the frame posts the toggle, the toggle is dispatched and
    // posts the quit for that window, and the window goes.
    EXPECT_EQ(
        Fake().Names({"DispatchMessage", "PostMessage", "DestroyWindow"}),
        (Names{"DispatchMessage", "PostMessage", "DispatchMessage", "PostMessage", "DestroyWindow",
               "DispatchMessage", "PostMessage", "DispatchMessage", "PostMessage", "DestroyWindow",
               "DispatchMessage", "PostMessage", "DestroyWindow"}));
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
}

TEST_F(ShellMainLoop, EscAndF1InOneFrameQuitWithoutToggling) {
    Fake().ScriptMessage(WM_KEYDOWN, VK_ESCAPE);
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Fake().createdWindows.size(), 1u);
    EXPECT_EQ(Updates().size(), 1u);
    EXPECT_EQ(g_createFullScreen, TRUE); // the toggle was never handled
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "DispatchMessage") {
            EXPECT_NE(call.args.at(1), static_cast<intptr_t>(WM_TOGGLEFULLSCREEN));
        }
    }
}

// A key pressed and released between two frames, as a quick tap during a slow frame is: the
// release waits for one frame, which sees the key down.
TEST_F(ShellMainLoop, TapOfEscBetweenFramesStillQuits) {
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_KEYDOWN, VK_ESCAPE);
    Fake().ScriptMessage(WM_KEYUP, VK_ESCAPE);
    Fake().ScriptIdle(3); // frames that would follow if the tap were lost
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Fake().Names({"Update", "PostMessage", "DispatchMessage"}),
              (Names{"Update", "DispatchMessage", "Update", "PostMessage", "DispatchMessage"}));
    EXPECT_EQ(Fake().Count("Update"), 2);
    EXPECT_EQ(Fake().Count("SwapBuffers"), 2);
    EXPECT_EQ(Fake().liveWindows, 0);
}

TEST_F(ShellMainLoop, TapOfF1BetweenFramesTogglesOnce) {
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1);
    Fake().ScriptMessage(WM_KEYUP, VK_F1);
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(CreatedStyles(), (std::vector<uint32_t>{WS_POPUP, WS_OVERLAPPEDWINDOW}));
    EXPECT_EQ(g_createFullScreen, FALSE);
}

// Only a release whose press no frame has seen waits for a frame: other releases, and releases
// while minimised (no frames then), are handled at once.
TEST_F(ShellMainLoop, ReleasesAfterAFrameOrWhileMinimisedAddNoFrame) {
    Fake().ScriptMessage(WM_KEYDOWN, 'A');
    Fake().ScriptIdle(); // the frame sees A down
    Fake().ScriptMessage(WM_KEYUP, 'A');
    Fake().ScriptMessage(WM_KEYUP, 'B'); // never pressed
    Fake().ScriptMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    Fake().ScriptMessage(WM_KEYDOWN, 'C');
    Fake().ScriptMessage(WM_KEYUP, 'C');
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Fake().Count("Update"), 1);
    EXPECT_EQ(Fake().Count("SwapBuffers"), 1);
}

TEST_F(ShellMainLoop, MinimisedWindowWaitsWithoutFramesAndTheNextUpdateGetsTheTimeAway) {
    Fake().tickCount = 1000;
    Fake().ScriptTick(1016);
    Fake().ScriptIdle(); // one frame
    Fake().ScriptMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    Fake().ScriptIdle(3);
    Fake().ScriptTick(61016); // a minute later
    Fake().ScriptMessage(WM_SIZE, SIZE_RESTORED, 1280 | 720 << 16);
    Fake().ScriptIdle(); // one frame
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);

    EXPECT_EQ(Story(), (Names{"CreateWindow", "Initialize", "Update", "Draw", "SwapBuffers",
                              "WaitMessage", "WaitMessage", "WaitMessage", "Update", "Draw",
                              "SwapBuffers", "Deinitialize", "DestroyWindow", "UnregisterClass"}));
    EXPECT_EQ(Updates(), (std::vector<uint32_t>{16, 60000}));
}

TEST_F(ShellMainLoop, UpdateTimeSurvivesTheTickCounterWrapping) {
    Fake().tickCount = 0xFFFFFFF0u;
    Fake().ScriptTick(0x10);
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Updates(), (std::vector<uint32_t>{0x20}));
}

TEST_F(ShellMainLoop, CloseEndsTheProgramThroughTheNormalTearDown) {
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Fake().Count("DestroyWindow"), 1);
    EXPECT_EQ(
        Fake().Names({"Deinitialize", "DestroyWindow", "ChangeDisplaySettings"}),
        (Names{"ChangeDisplaySettings", "Deinitialize", "DestroyWindow", "ChangeDisplaySettings"}));
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "DefWindowProc") {
            EXPECT_NE(call.args.at(1), static_cast<intptr_t>(WM_CLOSE));
        }
    }
}

TEST_F(ShellMainLoop, PumpTakesOnlyThisWindowsMessagesWithoutWaiting) {
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    bool peeked = false;
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "PeekMessage") {
            peeked = true;
            EXPECT_NE(call.args.at(0), 0); // filtered to the window
            EXPECT_EQ(call.args.at(1), 0); // no message range
            EXPECT_EQ(call.args.at(2), 0);
            EXPECT_EQ(call.args.at(3), static_cast<intptr_t>(PM_REMOVE));
        }
    }
    EXPECT_TRUE(peeked);
}

} // namespace
