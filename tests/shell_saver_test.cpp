// The screen-saver modes of the shell on the scriptable fake window system: the settings dialog,
// the full-screen saver that ends on input, and the child of a host's window.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/win32/platform_constants.h"
#include "tests/support/platform_fake.h"
#include "tests/support/recording_scene.h"
#include "tests/support/win32_run.h"

namespace {

using Names = std::vector<std::string>;

const auto kInstance = reinterpret_cast<InstanceHandle>(0x400000);
const auto kHost = reinterpret_cast<WindowHandle>(0x5150);

intptr_t PackPoint(int32_t x, int32_t y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y) & 0xFFFF) << 16 |
                                 (static_cast<uint32_t>(x) & 0xFFFF));
}

class ShellSaver : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFake();
        Scene() = RecordingScene();
        Scene().onUpdate = ActOnEscAndF1;
        g_isProgramLooping = FALSE;
        g_createFullScreen = FALSE;
        Fake().foreignWindows[kHost] = PlatformRect{0, 0, 152, 112};
    }

    // A clock that moves on 20 ms at each reading, so that a saver's limit of one frame per
    // display refresh never holds a frame back: these tests count frames, not waits.
    static void ResetFake() {
        Fake().Reset();
        Fake().tickStep = 20;
    }
    // Frames drawn: a saver's frames are paced, and draw through DrawSteps.
    static int Frames() { return Fake().Count("Draw") + Fake().Count("DrawSteps"); }
    static int Run(const std::vector<std::string>& args) {
        Options options;
        std::string error;
        EXPECT_TRUE(ParseOptions(args, StartContext{}, &options, &error)) << error;
        return RunZorvik(kInstance, options);
    }
    static std::vector<intptr_t> ArgsOf(const std::string& name, size_t index = 0) {
        std::vector<intptr_t> args;
        for (const FakeCall& call : Fake().calls) {
            if (call.name == name) {
                args.push_back(call.args.at(index));
            }
        }
        return args;
    }
};

TEST_F(ShellSaver, SettingsDialogOpensOnTheStoredSettingsAndStoresExactlyWhatIsAccepted) {
    const std::string asking = "/c:" + std::to_string(reinterpret_cast<uintptr_t>(kHost));
    const SaverSettings chosen{120, MonitorMode::kSpan, false};
    const std::map<std::string, uint32_t> before = {
        {"Speed", 90}, {"Monitors", 2}, {"ShowFrameRate", 1}};
    const std::map<std::string, uint32_t> after = {
        {"Speed", 120}, {"Monitors", 1}, {"ShowFrameRate", 0}};
    const struct {
        std::string args;
        WindowHandle owner;
        bool accepted;
        bool writable;
        int exitCode;
        std::map<std::string, uint32_t> stored;
    } cases[] = {
        {asking, kHost, true, true, 0, after},
        {"/c", nullptr, false, true, 0, before},
        // A window that has gone would make the system refuse the dialog: it stands alone.
        {"/c:4242", nullptr, true, true, 0, after},
        {asking, kHost, true, false, 1, before},
    };
    for (const auto& c : cases) {
        ResetFake();
        Fake().foreignWindows[kHost] = PlatformRect{0, 0, 152, 112};
        Fake().settings = before;
        Fake().settingsWritable = c.writable;
        Fake().dialogAccepted = c.accepted;
        Fake().dialogChoice = chosen;
        const std::string what = c.args + (c.accepted ? " OK" : " Cancel");
        EXPECT_EQ(Run({c.args}), c.exitCode) << what;
        ASSERT_EQ(Fake().dialogsShown.size(), 1u) << what;
        EXPECT_EQ(ArgsOf("EditSaverSettings"),
                  (std::vector<intptr_t>{reinterpret_cast<intptr_t>(kInstance)}));
        EXPECT_EQ(ArgsOf("EditSaverSettings", 1),
                  (std::vector<intptr_t>{reinterpret_cast<intptr_t>(c.owner)}))
            << what;
        const SaverSettings& shown = Fake().dialogsShown[0];
        EXPECT_EQ(shown.stepsPerSecond, 90u);
        EXPECT_EQ(shown.monitors, MonitorMode::kPrimary);
        EXPECT_TRUE(shown.showRates);
        EXPECT_EQ(Fake().settings, c.stored) << what;
        if (!c.accepted) {
            EXPECT_EQ(Fake().Count("WriteSetting"), 0);
        }
        EXPECT_EQ(Fake().Count("CreateWindow"), 0);
        if (c.writable) {
            EXPECT_TRUE(Fake().messageBoxes.empty()) << what;
            continue;
        }
        // The failure is told in front of the dialog's owner.
        ASSERT_EQ(Fake().messageBoxes.size(), 1u) << what;
        const FakeMessageBox& box = Fake().messageBoxes[0];
        EXPECT_EQ(box.owner, kHost);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_NE(box.text.find("could not be stored"), std::string::npos) << box.text;
        EXPECT_EQ(box.type, MB_OK | MB_ICONEXCLAMATION);
    }
}

TEST_F(ShellSaver, FullScreenSaverCoversTheVirtualScreenWithoutAModeSwitch) {
    Fake().monitors = {{{-1280, 0, 0, 720}, 0}, {{0, 0, 1920, 1080}, kMonitorPrimary}};
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_KEYDOWN, 'A');
    EXPECT_EQ(Run({"/s"}), 0);
    ASSERT_EQ(Fake().createdWindows.size(), 1u);
    const FakeCreatedWindow& created = Fake().createdWindows[0];
    EXPECT_EQ(created.style, WS_POPUP);
    EXPECT_EQ(created.exStyle, WS_EX_APPWINDOW | WS_EX_TOPMOST);
    // The union of the monitors, which begins left of the primary one.
    EXPECT_EQ(created.x, -1280);
    EXPECT_EQ(created.y, 0);
    EXPECT_EQ(created.width, 3200);
    EXPECT_EQ(created.height, 1080);
    EXPECT_EQ(Fake().Count("ChangeDisplaySettings"), 0);
    EXPECT_TRUE(Fake().messageBoxes.empty());
    // The cursor is hidden while it runs and back afterwards.
    EXPECT_EQ(ArgsOf("ShowCursor"), (std::vector<intptr_t>{FALSE, TRUE}));
    // Any key ends it after the frames before it, each drawn into both monitors' views; it is
    // not a toggle.
    EXPECT_EQ(Frames(), 4);
    EXPECT_EQ(Fake().Count("Initialize"), 1);
}

TEST_F(ShellSaver, FullScreenSaverEndsOnClicksMovesAndLostActivation) {
    const struct {
        const char* what;
        uint32_t message;
        uintptr_t wParam;
    } inputs[] = {{"left button", WM_LBUTTONDOWN, 1},
                  {"right button", WM_RBUTTONDOWN, 2},
                  {"middle button", WM_MBUTTONDOWN, 16},
                  {"side button", WM_XBUTTONDOWN, 0},
                  {"F1", WM_KEYDOWN, VK_F1},
                  {"Alt", WM_SYSKEYDOWN, 0x12},
                  {"deactivation", WM_ACTIVATEAPP, FALSE}};
    for (const auto& input : inputs) {
        ResetFake();
        Fake().foreignWindows[kHost] = PlatformRect{0, 0, 152, 112};
        Fake().ScriptIdle();
        Fake().ScriptMessage(input.message, input.wParam);
        EXPECT_EQ(Run({"/s"}), 0) << input.what;
        EXPECT_EQ(Fake().Count("CreateWindow"), 1) << input.what << " must not toggle";
        // A lost activation ends it once it has not come back within a quarter of a second.
        EXPECT_EQ(Frames(), input.message == WM_ACTIVATEAPP ? 4 : 1) << input.what;
    }

    // Activation itself, and a pointer that only trembles, do not end it; a real move does, and
    // coordinates left of the primary monitor count as negative.
    ResetFake();
    Fake().ScriptMessage(WM_ACTIVATEAPP, TRUE);
    Fake().ScriptMessage(WM_MOUSEMOVE, 0, PackPoint(-600, 300));
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_MOUSEMOVE, 0, PackPoint(-597, 305));
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_MOUSEMOVE, 0, PackPoint(-620, 300));
    Fake().ScriptIdle(3);
    EXPECT_EQ(Run({"/s"}), 0);
    EXPECT_EQ(Frames(), 2) << "ends at the move of 20 pixels, not before";
}

TEST_F(ShellSaver, FullScreenSaverKeepsAPaceInStepWithTheDisplay) {
    // A real clock: nothing moves it but the program's own waits.
    Fake().tickStep = 0;
    Fake().displayFrequency = 50;
    Fake().ScriptIdle(6);
    Fake().ScriptMessage(WM_KEYDOWN, 'A');
    EXPECT_EQ(Run({"/s"}), 0);
    EXPECT_EQ(ArgsOf("SetSwapInterval"), (std::vector<intptr_t>{1}));
    // A frame, a wait for the next refresh (20 ms at 50 Hz), and so on: 3 frames, 3 waits.
    EXPECT_EQ(Frames(), 3);
    for (intptr_t wait : ArgsOf("WaitMessageTimeout")) {
        EXPECT_EQ(wait, 20);
    }
    EXPECT_EQ(ArgsOf("WaitMessageTimeout").size(), 3u);
    EXPECT_EQ(Fake().Count("Draw"), 0) << "a saver's frames are paced";
}

TEST_F(ShellSaver, FullScreenSaverDrawsEachMonitorWholeOrOnlyThePrimaryOne) {
    const struct {
        const char* mode;
        std::vector<intptr_t> drawSteps; // two frames
        std::vector<intptr_t> reshapeWidths;
    } cases[] = {
        // Each: the primary monitor steps, the other draws the same state, each at its shape.
        {"each", {1, 0, 1, 0}, {1920, 1280, 1920, 1280}},
        {"primary", {1, 1}, {1920, 1920}},
        {"span", {1, 1}, {}},
    };
    for (const auto& c : cases) {
        ResetFake();
        Fake().monitors = {{{-1280, 0, 0, 720}, 0}, {{0, 0, 1920, 1080}, kMonitorPrimary}};
        Fake().ScriptIdle(2);
        Fake().ScriptMessage(WM_LBUTTONDOWN, 1);
        EXPECT_EQ(Run({"/s", "--pace", "50", "--monitors", c.mode}), 0) << c.mode;
        std::vector<intptr_t> steps = ArgsOf("DrawSteps");
        for (intptr_t& k : steps) {
            k = k > 0 ? 1 : 0; // how many steps a frame takes follows the clock
        }
        EXPECT_EQ(steps, c.drawSteps) << c.mode;
        std::vector<intptr_t> widths;
        bool created = false;
        for (const FakeCall& call : Fake().calls) {
            created = created || call.name == "Initialize";
            if (created && call.name == "Reshape" && call.args[0] != 3200) {
                widths.push_back(call.args[0]);
            }
        }
        EXPECT_EQ(widths, c.reshapeWidths) << c.mode;
    }
}

TEST_F(ShellSaver, PreviewFillsFollowsAndOutlivesNothing) {
    Fake().ScriptIdle(2);
    Fake().ScriptAction([] { Fake().foreignWindows[kHost] = PlatformRect{0, 0, 300, 200}; });
    Fake().ScriptIdle(2);
    // The window record lives while the program runs: read it then.
    int32_t width = 0, height = 0;
    Fake().ScriptAction([&] {
        width = Scene().window->width;
        height = Scene().window->height;
    });
    Fake().ScriptAction([] { Fake().DestroyForeignWindow(kHost); });
    Fake().ScriptIdle();
    const std::string host = std::to_string(reinterpret_cast<uintptr_t>(kHost));
    EXPECT_EQ(Run({"/p", host}), 0);

    ASSERT_EQ(Fake().createdWindows.size(), 1u);
    const FakeCreatedWindow& created = Fake().createdWindows[0];
    EXPECT_EQ(created.parent, kHost);
    EXPECT_EQ(created.style, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(created.exStyle, 0u);
    EXPECT_EQ(created.x, 0);
    EXPECT_EQ(created.y, 0);
    EXPECT_EQ(created.width, 152);
    EXPECT_EQ(created.height, 112);
    // No mode, no cursor, no box.
    EXPECT_EQ(Fake().Count("ChangeDisplaySettings"), 0);
    EXPECT_EQ(Fake().Count("ShowCursor"), 0);
    EXPECT_TRUE(Fake().messageBoxes.empty());
    // The host grew: the child follows it, and the scene sets its view up for the new shape
    // without starting over (no second Initialize, which would seed the city anew).
    EXPECT_EQ(ArgsOf("MoveWindow", 3), (std::vector<intptr_t>{300}));
    EXPECT_EQ(ArgsOf("MoveWindow", 4), (std::vector<intptr_t>{200}));
    EXPECT_EQ(Fake().Count("Initialize"), 1);
    EXPECT_EQ(ArgsOf("Reshape", 0).back(), 300);
    EXPECT_EQ(ArgsOf("Reshape", 1).back(), 200);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);
    // The host went, and took the child with it: no frame after, and the child is not destroyed a
    // second time, but its context and device context are still let go.
    EXPECT_EQ(Frames(), 4);
    EXPECT_EQ(Fake().Count("DestroyWindow"), 0);
    EXPECT_EQ(Fake().liveContexts, 0);
    EXPECT_EQ(Fake().liveDeviceContexts, 0);
    EXPECT_EQ(Fake().liveWindows, 0);
}

TEST_F(ShellSaver, HostedFailuresEndQuietlyWithOne) {
    // Hosts that are no window a preview can be seen in: none at all, the desktop (a window over
    // the whole screen that nothing would end), a message-only window (one nobody ever sees).
    const auto kMessageOnly = reinterpret_cast<WindowHandle>(0x6160);
    const auto kMessageRoot = reinterpret_cast<WindowHandle>(0x6170);
    const struct {
        const char* what;
        WindowHandle host;
    } hosts[] = {{"no window", reinterpret_cast<WindowHandle>(999)},
                 {"the desktop", FakePlatform::DesktopWindow()},
                 {"a message-only window", kMessageOnly}};
    for (const auto& host : hosts) {
        ResetFake();
        Fake().foreignWindows[FakePlatform::DesktopWindow()] = PlatformRect{0, 0, 1920, 1080};
        Fake().foreignWindows[kMessageOnly] = PlatformRect{0, 0, 0, 0};
        Fake().foreignWindows[kMessageRoot] = PlatformRect{0, 0, 0, 0};
        Fake().foreignParents[kMessageOnly] = kMessageRoot;
        Fake().foreignParents[kMessageRoot] = nullptr;
        EXPECT_EQ(Run({"/p", std::to_string(reinterpret_cast<uintptr_t>(host.host))}), 1)
            << host.what;
        EXPECT_TRUE(Fake().messageBoxes.empty()) << host.what;
        EXPECT_EQ(Fake().Count("CreateWindow"), 0) << host.what;
    }

    ResetFake();
    Fake().foreignWindows[kHost] = PlatformRect{0, 0, 152, 112};
    Fake().FailAt("CreateContext");
    EXPECT_EQ(Run({"--window-id", std::to_string(reinterpret_cast<uintptr_t>(kHost))}), 1);
    EXPECT_TRUE(Fake().messageBoxes.empty());
    EXPECT_EQ(Fake().liveWindows, 0);
}

TEST_F(ShellSaver, HiddenHostRestsUntilShown) {
    // Two frames, then the host is hidden: no frame is drawn while nothing of it can be seen, and
    // the loop waits for input with a timeout, looking at the host again, instead of spinning.
    Fake().ScriptIdle(2);
    Fake().ScriptAction([] { Fake().hiddenWindows[kHost] = true; });
    Fake().ScriptIdle(5);
    Fake().ScriptAction([] { Fake().hiddenWindows[kHost] = false; });
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run({"/p", std::to_string(reinterpret_cast<uintptr_t>(kHost))}), 0);
    EXPECT_EQ(Frames(), 4);
    const std::vector<intptr_t> waits = ArgsOf("WaitMessageTimeout");
    ASSERT_EQ(waits.size(), 4u);
    for (intptr_t wait : waits) {
        EXPECT_GT(wait, 0);
        EXPECT_LE(wait, 1000);
    }
}

TEST_F(ShellSaver, RootMeansTheDesktopWindow) {
    Fake().foreignWindows[FakePlatform::DesktopWindow()] = PlatformRect{0, 0, 1920, 1080};
    Fake().ScriptIdle();
    Fake().ScriptMessage(WM_CLOSE); // xscreensaver's SIGTERM arrives as a close
    EXPECT_EQ(Run({"--root"}), 0);
    ASSERT_EQ(Fake().createdWindows.size(), 1u);
    EXPECT_EQ(Fake().createdWindows[0].parent, FakePlatform::DesktopWindow());
    EXPECT_EQ(Fake().createdWindows[0].width, 1920);
    EXPECT_EQ(Fake().Count("DestroyWindow"), 1);
    EXPECT_TRUE(Fake().messageBoxes.empty());
}

TEST_F(ShellSaver, HostedWindowIgnoresKeysAndTheAnimationsToggle) {
    const std::string host = std::to_string(reinterpret_cast<uintptr_t>(kHost));
    Fake().ScriptMessage(WM_KEYDOWN, VK_F1);
    Fake().ScriptIdle(2);
    Fake().ScriptMessage(WM_CLOSE);
    EXPECT_EQ(Run({"--window-id", host}), 0);
    // A child window leaves the keyboard to its host, and has no other display mode to go to:
    // the same window carries on.
    EXPECT_EQ(Fake().Count("CreateWindow"), 1);
    EXPECT_EQ(Scene().keys->keyDown[VK_F1], 0);
}

} // namespace
