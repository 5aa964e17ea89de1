// Every way the platform can refuse the shell, at every window creation of a run: the program must
// tell the user, end with a failure code, hold no window, device context or rendering context, and
// give the display and the cursor back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/win32/platform_constants.h"
#include "tests/support/platform_fake.h"
#include "tests/support/recording_scene.h"
#include "tests/support/win32_run.h"

namespace {

const auto kInstance = reinterpret_cast<InstanceHandle>(0x400000);
const char* const kCreationSteps[] = {"CreateWindow",   "GetDC",         "ChoosePixelFormat",
                                      "SetPixelFormat", "CreateContext", "MakeCurrent"};
const std::string kCreationBox = "Error Creating OpenGL Window";
const std::string kModeBox = "Mode Switch Failed.\nRunning In Windowed Mode.";

struct Situation {
    const char* name;
    int failingCreation; // which window creation of the run fails: 1 first, 2 after one F1, ...
    bool modeRefused;    // the display refuses every full-screen mode
};

// First window full screen (switched); the windowed one after an F1; full screen again after a
// second F1; and all of these with the display refusing the mode.
const Situation kSituations[] = {
    {"first window, full screen", 1, false}, {"after F1, windowed", 2, false},
    {"after two F1, full screen", 3, false}, {"first window, mode refused", 1, true},
    {"after F1, mode refused", 2, true},     {"after two F1, mode refused", 3, true},
};

std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const FakeMessageBox& box : Fake().messageBoxes) {
        texts.push_back(box.text);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, 0x30u);
    }
    return texts;
}

} // namespace

TEST(ShellFaultInjection, EveryCreationStepFailingInEverySituation) {
    for (const char* step : kCreationSteps) {
        for (const Situation& s : kSituations) {
            SCOPED_TRACE(std::string(step) + " failing, " + s.name);
            Fake().Reset();
            Scene() = RecordingScene();
            Scene().onUpdate = ActOnEscAndF1;
            if (s.modeRefused) {
                Fake().FailAt("ChangeDisplaySettings", 0);
            }
            for (int toggle = 1; toggle < s.failingCreation; ++toggle) {
                Fake().ScriptMessage(WM_KEYDOWN, VK_F1);
                Fake().ScriptIdle(2);
            }
            // Tearing a window down also releases its context through MakeCurrent, so each
            // earlier window accounts for two of those calls.
            const bool releasedToo = std::string(step) == "MakeCurrent";
            Fake().FailAt(step, releasedToo ? 2 * s.failingCreation - 1 : s.failingCreation);
            // Never reached when the failure ends the run, as it must.
            Fake().ScriptMessage(WM_KEYDOWN, VK_ESCAPE);

            EXPECT_EQ(RunZorvik(kInstance, Options{}), 1);

            // Full-screen attempts on a refusing display each show their box before the failure.
            std::vector<std::string> expected;
            const int fullScreenAttempts = (s.failingCreation + 1) / 2;
            for (int i = 0; s.modeRefused && i < fullScreenAttempts; ++i) {
                expected.push_back(kModeBox);
            }
            expected.push_back(kCreationBox);
            std::vector<std::string> boxes = Boxes();
            EXPECT_EQ(boxes.size(), expected.size());
            // The mode box of a creation comes before that creation's failure box.
            EXPECT_TRUE(!boxes.empty() && boxes.back() == kCreationBox);
            std::sort(boxes.begin(), boxes.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(boxes, expected);

            EXPECT_EQ(Fake().liveWindows, 0);
            EXPECT_EQ(Fake().liveDeviceContexts, 0);
            EXPECT_EQ(Fake().liveContexts, 0);
            EXPECT_FALSE(Fake().displaySwitched);
            EXPECT_EQ(Fake().cursorCount, 0) << "the cursor is shown again";
            EXPECT_EQ(Fake().currentContext, nullptr);
            EXPECT_FALSE(Fake().classRegistered);
            // Every window that did come up was initialised and taken down again.
            EXPECT_EQ(Fake().Count("Initialize"), s.failingCreation - 1);
            EXPECT_EQ(Fake().Count("Deinitialize"), s.failingCreation - 1);
            EXPECT_EQ(g_isProgramLooping, FALSE);
        }
    }
}

TEST(ShellFaultInjection, RefusedClassEndsBeforeAnyWindow) {
    Fake().Reset();
    Scene() = RecordingScene();
    Fake().FailAt("RegisterClass");
    EXPECT_EQ(RunZorvik(kInstance, Options{}), -1);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"RegisterClassEx Failed!",
                                                 "Error Registering Window Class!"}));
    EXPECT_EQ(Fake().Count("CreateWindow"), 0);
    EXPECT_FALSE(Fake().displaySwitched);
}
