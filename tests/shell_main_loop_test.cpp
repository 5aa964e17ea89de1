// The entry point and its two loops, driven by a scripted fake window system and recording scene
// hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/win32/platform_constants.h"
#include "tests/support/platform_fake.h"
#include "tests/support/recording_scene.h"
#include "tests/support/win32_run.h"

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

    static int Run(const Options& options = Options{}) { return RunZorvik(kInstance, options); }
    static Options CommandLine(const std::vector<std::string>& args) {
        Options options;
        std::string error;
        EXPECT_TRUE(ParseOptions(args, StartContext{}, &options, &error)) << error;
        return options;
    }
    static std::vector<intptr_t> ArgsOf(const std::string& name) {
        std::vector<intptr_t> args;
        for (const FakeCall& call : Fake().calls) {
            if (call.name == name) {
                args.push_back(call.args.at(0));
            }
        }
        return args;
    }

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
    // The scene is given the program's records: the window's size and mode, and the key table.
    ASSERT_NE(Scene().window, nullptr);
    EXPECT_EQ(Scene().window->width, 1280);
    EXPECT_EQ(Scene().window->height, 720);
    EXPECT_EQ(Scene().window->isFullScreen, TRUE);
    EXPECT_EQ(Scene().window->keys, Scene().keys);
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
    // The quit request comes from the second Update, and the frame still completes, out of
    // sight: the window is hidden at the request, before anything is torn down.
    EXPECT_EQ(
        Fake().Names({"Update", "Draw", "ShowWindow", "Deinitialize"}),
        (Names{"ShowWindow", "Update", "Draw", "Update", "ShowWindow", "Draw", "Deinitialize"}));
    std::vector<intptr_t> shows;
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "ShowWindow") {
            shows.push_back(call.args.at(1));
        }
    }
    EXPECT_EQ(shows, (std::vector<intptr_t>{SW_SHOWNORMAL, SW_HIDE}));
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
    // Per toggle: the key is dispatched, the frame asks for the other mode, and the window goes
    // once that frame is done; nothing goes through the queue.
    EXPECT_EQ(Fake().Names({"DispatchMessage", "DestroyWindow"}),
              (Names{"DispatchMessage", "DestroyWindow", "DispatchMessage", "DestroyWindow",
                     "DispatchMessage", "DestroyWindow"}));
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
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

// --- The command line -----------------------------------------------------------------------

TEST_F(ShellMainLoop, WindowAndSizeStartAFramedWindowOfThatClientSize) {
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1); // window -> full screen at that size
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(CommandLine({"--window", "--size", "800x600"})), 0);
    ASSERT_EQ(Fake().createdWindows.size(), 2u);
    const FakeCreatedWindow& framed = Fake().createdWindows[0];
    EXPECT_EQ(framed.style, WS_OVERLAPPEDWINDOW);
    int32_t width = 0, height = 0;
    FakePlatform::ClientSize(framed.style, framed.width, framed.height, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(Fake().createdWindows[1].style, WS_POPUP);
    ASSERT_EQ(Fake().requestedModes.size(), 1u) << "only the full-screen window switches";
    EXPECT_EQ(Fake().requestedModes[0].dmPelsWidth, 800u);
    EXPECT_EQ(Fake().requestedModes[0].dmPelsHeight, 600u);
}

TEST_F(ShellMainLoop, DesktopSizeIsFullScreenWithoutAModeSwitch) {
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1); // full screen -> window
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1); // window -> full screen
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(CommandLine({"--size", "desktop"})), 0);
    EXPECT_EQ(Fake().Count("ChangeDisplaySettings"), 0) << "the display's mode is never touched";
    EXPECT_TRUE(Fake().messageBoxes.empty());
    ASSERT_EQ(Fake().createdWindows.size(), 3u);
    for (size_t i : {0u, 2u}) {
        const FakeCreatedWindow& full = Fake().createdWindows[i];
        EXPECT_EQ(full.style, WS_POPUP) << i;
        EXPECT_EQ(full.x, 0);
        EXPECT_EQ(full.y, 0);
        EXPECT_EQ(full.width, 1920) << i; // the primary monitor's
        EXPECT_EQ(full.height, 1080) << i;
    }
    // In between, a window of the default size.
    int32_t width = 0, height = 0;
    const FakeCreatedWindow& framed = Fake().createdWindows[1];
    FakePlatform::ClientSize(framed.style, framed.width, framed.height, &width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 720);
    // The cursor hides over each full-screen window and is back at the end.
    EXPECT_EQ(ArgsOf("ShowCursor"), (std::vector<intptr_t>{FALSE, TRUE, FALSE, TRUE}));
    EXPECT_EQ(Fake().cursorCount, 0);
}

TEST_F(ShellMainLoop, VsyncIsAskedOfEachNewContextOnlyWhenGiven) {
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Fake().Count("SetSwapInterval"), 0) << "the driver's default";

    for (const char* value : {"on", "off"}) {
        Fake().Reset();
        Fake().FailAt("SetSwapInterval", 0); // a driver that cannot: the run goes on
        Fake().ScriptIdle();
        Fake().ScriptMessage(WM_CLOSE);
        EXPECT_EQ(Run(CommandLine({"--vsync", value})), 0);
        EXPECT_EQ(ArgsOf("SetSwapInterval"), (std::vector<intptr_t>{value[1] == 'n' ? 1 : 0}));
        EXPECT_EQ(Fake().Names({"MakeCurrent", "SetSwapInterval", "Initialize"}),
                  (Names{"MakeCurrent", "SetSwapInterval", "Initialize", "MakeCurrent"}));
        EXPECT_EQ(Fake().Count("Draw"), 1);
    }
}

} // namespace
