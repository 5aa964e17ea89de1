// The window class, the display-mode switch and the window with its rendering context, on the
// fake window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "shell/win32/platform_constants.h"
#include "shell/win32/win32_host.h"
#include "shell/win32/window.h"
#include "shell/win32/window_proc.h"
#include "tests/support/platform_fake.h"

namespace {

using Names = std::vector<std::string>;

class ShellWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake().Reset();
        application.hInstance = reinterpret_cast<InstanceHandle>(0x400000);
        application.className = "OpenGL";
        std::memset(&window, 0, sizeof window);
        window.keys = &keys;
        window.application = &application;
        window.title = "zorvik - tavrin 2005";
        window.width = 1280;
        window.height = 720;
        window.bitsPerPixel = 32;
        ASSERT_TRUE(RegisterWindowClass(&application));
        Fake().calls.clear();
    }

    // The calls that acquire or release something, in order.
    static Names Resources() {
        return Fake().Names({"ChangeDisplaySettings", "ShowCursor", "CreateWindow", "GetDC",
                             "ChoosePixelFormat", "SetPixelFormat", "CreateContext", "MakeCurrent",
                             "ShowWindow", "DeleteContext", "ReleaseDC", "DestroyWindow"});
    }

    Application application{};
    Keys keys{};
    std::deque<HostEvent> events;
    HostWindow record = Record(&events);
    GL_Window& window = record.gl;

    static HostWindow Record(std::deque<HostEvent>* events) {
        HostWindow made;
        made.events = events;
        return made;
    }
};

TEST(ShellWindowClass, IsRegisteredWithTheClassRecordOfTheProgram) {
    Fake().Reset();
    Application application{reinterpret_cast<InstanceHandle>(0x400000), "OpenGL", FALSE};
    ASSERT_EQ(RegisterWindowClass(&application), TRUE);

    const PlatformWindowClass& registered = Fake().registeredClass;
    EXPECT_EQ(registered.cbSize, sizeof(PlatformWindowClass));
    if (sizeof(void*) == 4) {
        EXPECT_EQ(registered.cbSize, 48u);
    }
    EXPECT_EQ(registered.style, 0x23u);
    EXPECT_EQ(registered.lpfnWndProc, &WindowProc);
    EXPECT_EQ(registered.cbClsExtra, 0);
    EXPECT_EQ(registered.cbWndExtra, 0);
    EXPECT_EQ(registered.hInstance, application.hInstance);
    EXPECT_EQ(registered.hIcon, nullptr);
    EXPECT_EQ(registered.hIconSm, nullptr);
    EXPECT_EQ(registered.lpszMenuName, nullptr);
    EXPECT_STREQ(registered.lpszClassName, "OpenGL");
    EXPECT_EQ(reinterpret_cast<uintptr_t>(registered.hbrBackground), 12u);
    // The arrow cursor, loaded from the system rather than the program.
    const FakeCall& loadCursor = Fake().calls.at(0);
    ASSERT_EQ(loadCursor.name, "LoadCursor");
    EXPECT_EQ(loadCursor.args, (std::vector<intptr_t>{0, 32512}));
    EXPECT_EQ(registered.hCursor, reinterpret_cast<CursorHandle>(0xC0));
    EXPECT_TRUE(Fake().messageBoxes.empty());
}

TEST(ShellWindowClass, RefusalShowsItsBoxAndReturnsFalse) {
    Fake().Reset();
    Fake().FailAt("RegisterClass");
    Application application{nullptr, "OpenGL", FALSE};
    EXPECT_EQ(RegisterWindowClass(&application), FALSE);
    ASSERT_EQ(Fake().messageBoxes.size(), 1u);
    const FakeMessageBox& box = Fake().messageBoxes[0];
    EXPECT_EQ(box.text, "RegisterClassEx Failed!");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.type, 0x30u);
    EXPECT_EQ(box.owner, nullptr);
}

TEST(ShellDisplayMode, RequestsATemporaryModeOfExactlyTheGivenSize) {
    Fake().Reset();
    EXPECT_EQ(ChangeScreenResolution(1280, 720, 32), TRUE);
    ASSERT_EQ(Fake().requestedModes.size(), 1u);
    const PlatformDisplayMode& mode = Fake().requestedModes[0];
    EXPECT_EQ(mode.dmSize, 156);
    EXPECT_EQ(mode.dmFields, 0x1C0000u);
    EXPECT_EQ(mode.dmPelsWidth, 1280u);
    EXPECT_EQ(mode.dmPelsHeight, 720u);
    EXPECT_EQ(mode.dmBitsPerPel, 32u);
    EXPECT_EQ(Fake().displayFlags, (std::vector<uint32_t>{4}));

    Fake().FailAt("ChangeDisplaySettings");
    EXPECT_EQ(ChangeScreenResolution(640, 480, 16), FALSE);
}

TEST_F(ShellWindow, WindowedCreationGrowsTheRectangleSoTheClientAreaIsExact) {
    window.isFullScreen = FALSE;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);

    const FakeCall& adjust = Fake().calls.at(0);
    ASSERT_EQ(adjust.name, "AdjustWindowRectEx");
    EXPECT_EQ(adjust.args, (std::vector<intptr_t>{0, 0, 1280, 720, 0xCF0000, FALSE, 0x40000}));
    ASSERT_EQ(Fake().createdWindows.size(), 1u);
    const FakeCreatedWindow& created = Fake().createdWindows[0];
    EXPECT_EQ(created.style, 0xCF0000u);
    EXPECT_EQ(created.exStyle, 0x40000u);
    EXPECT_EQ(created.x, 0);
    EXPECT_EQ(created.y, 0);
    int32_t clientWidth = 0, clientHeight = 0;
    FakePlatform::ClientSize(created.style, created.width, created.height, &clientWidth,
                             &clientHeight);
    EXPECT_EQ(clientWidth, 1280);
    EXPECT_EQ(clientHeight, 720);
    EXPECT_EQ(Fake().Count("ChangeDisplaySettings"), 0);
    EXPECT_EQ(Fake().Count("ShowCursor"), 0);
    EXPECT_EQ(window.isFullScreen, FALSE);
}

TEST_F(ShellWindow, FullScreenCreationIsATopmostPopUpOverTheSwitchedMode) {
    window.isFullScreen = TRUE;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);

    EXPECT_EQ(Fake().Count("AdjustWindowRectEx"), 0);
    const FakeCreatedWindow& created = Fake().createdWindows.at(0);
    EXPECT_EQ(created.style, 0x80000000u);
    EXPECT_EQ(created.exStyle, 0x40008u);
    EXPECT_EQ(created.width, 1280);
    EXPECT_EQ(created.height, 720);
    EXPECT_TRUE(Fake().displaySwitched);
    EXPECT_LT(Fake().cursorCount, 0);
    EXPECT_EQ(window.isFullScreen, TRUE);
    EXPECT_EQ(Resources(), (Names{"ChangeDisplaySettings", "ShowCursor", "CreateWindow", "GetDC",
                                  "ChoosePixelFormat", "SetPixelFormat", "CreateContext",
                                  "MakeCurrent", "ShowWindow"}));
}

TEST_F(ShellWindow, RefusedModeGivesOneBoxAndAnUnadjustedFramedWindow) {
    window.isFullScreen = TRUE;
    Fake().FailAt("ChangeDisplaySettings");
    ASSERT_EQ(CreateWindowGL(&record), TRUE);

    ASSERT_EQ(Fake().messageBoxes.size(), 1u);
    const FakeMessageBox& box = Fake().messageBoxes[0];
    EXPECT_EQ(box.text, "Mode Switch Failed.\nRunning In Windowed Mode.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.type, 0x30u);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(Fake().Count("AdjustWindowRectEx"), 0);
    const FakeCreatedWindow& created = Fake().createdWindows.at(0);
    EXPECT_EQ(created.style, 0xCF0000u);
    EXPECT_EQ(created.exStyle, 0x40000u);
    EXPECT_EQ(created.width, 1280); // the outer size, so the client area comes out smaller
    EXPECT_EQ(created.height, 720);
    EXPECT_EQ(Fake().Count("ShowCursor"), 0);
    EXPECT_EQ(window.isFullScreen, FALSE);

    // Destroying it neither restores a mode nor shows the cursor.
    Fake().calls.clear();
    DestroyWindowGL(&record);
    EXPECT_EQ(Fake().Count("ChangeDisplaySettings"), 0);
    EXPECT_EQ(Fake().Count("ShowCursor"), 0);
}

TEST_F(ShellWindow, CreationPassesTheRecordsNamesAndItselfAsParameter) {
    window.isFullScreen = FALSE;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);
    const FakeCreatedWindow& created = Fake().createdWindows.at(0);
    EXPECT_EQ(created.className, "OpenGL");
    EXPECT_EQ(created.title, "zorvik - tavrin 2005");
    EXPECT_EQ(created.parent, nullptr);
    EXPECT_EQ(created.menu, nullptr);
    EXPECT_EQ(created.instance, application.hInstance);
    EXPECT_EQ(created.param, &window);
    // WM_CREATE attached the record to the window.
    EXPECT_EQ(PlatformGetWindowLongPtr(window.hWnd, GWL_USERDATA),
              reinterpret_cast<intptr_t>(&window));
}

TEST_F(ShellWindow, PixelFormatRequestIsTheProgramsDescriptor) {
    window.isFullScreen = FALSE;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);
    ASSERT_EQ(Fake().chosenFormats.size(), 1u);
    ASSERT_EQ(Fake().setFormats.size(), 1u);
    const PlatformPixelFormat& format = Fake().chosenFormats[0];

    PlatformPixelFormat expected;
    std::memset(&expected, 0, sizeof expected);
    expected.nSize = 40;
    expected.nVersion = 1;
    expected.dwFlags = 0x25;
    expected.cColorBits = 32;
    expected.cAlphaBits = 1;
    expected.cDepthBits = 16;
    EXPECT_EQ(std::memcmp(&format, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&Fake().setFormats[0], &expected, sizeof expected), 0);
    // The index ChoosePixelFormat returned is the one set.
    const FakeCall* set = nullptr;
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "SetPixelFormat") {
            set = &call;
        }
    }
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->args.at(1), 7);
}

TEST_F(ShellWindow, SuccessfulCreationLeavesACompleteVisibleWindow) {
    window.isFullScreen = FALSE;
    Fake().tickCount = 123456;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);

    EXPECT_NE(window.hWnd, nullptr);
    EXPECT_NE(window.hDC, nullptr);
    EXPECT_NE(window.hRC, nullptr);
    EXPECT_EQ(Fake().currentContext, window.hRC);
    EXPECT_EQ(window.isVisible, TRUE);
    EXPECT_EQ(window.lastTickCount, 123456u);
    EXPECT_EQ(Fake().calls.back().name, "GetTickCount");
    for (const FakeCall& call : Fake().calls) {
        if (call.name == "ShowWindow") {
            EXPECT_EQ(call.args.at(1), 1); // SW_SHOWNORMAL
        }
    }
    EXPECT_EQ(Resources(), (Names{"CreateWindow", "GetDC", "ChoosePixelFormat", "SetPixelFormat",
                                  "CreateContext", "MakeCurrent", "ShowWindow"}));
}

// A failure at each step of creation, with and without a switched display mode: everything
// acquired so far is released newest first, every handle ends null, and the display and cursor
// are as they were before.
struct FailureCase {
    const char* step;
    Names releases; // what is released after the failing call, in order
};

class ShellWindowFailure : public ShellWindow,
                           public ::testing::WithParamInterface<std::tuple<FailureCase, bool>> {};

TEST_P(ShellWindowFailure, ReleasesInReverseOrderAndLeavesEveryHandleNull) {
    const FailureCase& failure = std::get<0>(GetParam());
    const bool fullScreen = std::get<1>(GetParam());
    window.isFullScreen = fullScreen ? TRUE : FALSE;
    Fake().FailAt(failure.step);

    EXPECT_EQ(CreateWindowGL(&record), FALSE);

    EXPECT_EQ(window.hWnd, nullptr);
    EXPECT_EQ(window.hDC, nullptr);
    EXPECT_EQ(window.hRC, nullptr);
    EXPECT_EQ(Fake().liveWindows, 0);
    EXPECT_EQ(Fake().liveDeviceContexts, 0);
    EXPECT_EQ(Fake().liveContexts, 0);
    EXPECT_EQ(Fake().Count("ShowWindow"), 0);
    EXPECT_TRUE(Fake().messageBoxes.empty());

    Names expected = failure.releases;
    if (fullScreen) {
        expected.push_back("ChangeDisplaySettings");
        expected.push_back("ShowCursor");
    }
    Names resources = Resources();
    const auto failed = std::find(resources.begin(), resources.end(), failure.step);
    ASSERT_NE(failed, resources.end());
    EXPECT_EQ(Names(failed + 1, resources.end()), expected);
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
    if (fullScreen) {
        EXPECT_EQ(Fake().displayFlags.back(), 0u);
        EXPECT_EQ(window.isFullScreen, FALSE); // nothing left for DestroyWindowGL to restore
    }
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, ShellWindowFailure,
    ::testing::Combine(
        ::testing::Values(FailureCase{"CreateWindow", {}}, FailureCase{"GetDC", {"DestroyWindow"}},
                          FailureCase{"ChoosePixelFormat", {"ReleaseDC", "DestroyWindow"}},
                          FailureCase{"SetPixelFormat", {"ReleaseDC", "DestroyWindow"}},
                          FailureCase{"CreateContext", {"ReleaseDC", "DestroyWindow"}},
                          FailureCase{"MakeCurrent",
                                      {"DeleteContext", "ReleaseDC", "DestroyWindow"}}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).step) +
               (std::get<1>(info.param) ? "FullScreen" : "Windowed");
    });

TEST_F(ShellWindow, DestroyReleasesContextThenDeviceContextThenWindowThenTheMode) {
    window.isFullScreen = TRUE;
    ASSERT_EQ(CreateWindowGL(&record), TRUE);
    const DeviceContextHandle hDC = window.hDC;
    Fake().calls.clear();

    EXPECT_EQ(DestroyWindowGL(&record), TRUE);

    EXPECT_EQ(Fake().Names({"MakeCurrent", "DeleteContext", "ReleaseDC", "DestroyWindow",
                            "ChangeDisplaySettings", "ShowCursor"}),
              (Names{"MakeCurrent", "DeleteContext", "ReleaseDC", "DestroyWindow",
                     "ChangeDisplaySettings", "ShowCursor"}));
    const FakeCall& release = Fake().calls.at(0);
    EXPECT_EQ(release.args, (std::vector<intptr_t>{reinterpret_cast<intptr_t>(hDC), 0}));
    EXPECT_EQ(window.hWnd, nullptr);
    EXPECT_EQ(window.hDC, nullptr);
    EXPECT_EQ(window.hRC, nullptr);
    EXPECT_FALSE(Fake().displaySwitched);
    EXPECT_EQ(Fake().cursorCount, 0);
    EXPECT_EQ(Fake().liveWindows + Fake().liveDeviceContexts + Fake().liveContexts, 0);
}

TEST_F(ShellWindow, DestroyOnAnEmptyRecordOnlyRestoresTheModeWhenFullScreen) {
    window.isFullScreen = FALSE;
    EXPECT_EQ(DestroyWindowGL(&record), TRUE);
    EXPECT_TRUE(Fake().calls.empty());

    window.isFullScreen = TRUE;
    EXPECT_EQ(DestroyWindowGL(&record), TRUE);
    ASSERT_EQ(Fake().Names(), (Names{"ChangeDisplaySettings", "ShowCursor"}));
    EXPECT_EQ(Fake().calls[0].args, (std::vector<intptr_t>{0, 0}));
    EXPECT_EQ(Fake().calls[1].args, (std::vector<intptr_t>{TRUE}));
}

} // namespace

// Two surfaces at once draw with the run's one context (the scene's texture lives in a context's
// object 0): the second window makes none of its own, and the context goes with the last window,
// whichever of them made it.
TEST(ShellWindowContext, SurfacesShareTheRunsContext) {
    Fake().Reset();
    Fake().monitors = {{{0, 0, 1920, 1080}, kMonitorPrimary}, {{1920, 0, 3200, 720}, 0}};
    Win32Host host(reinterpret_cast<InstanceHandle>(0x400000));
    ASSERT_EQ(host.Start(false), 0);
    SurfaceRequest request;
    request.kind = SurfaceKind::kOutput;
    SurfaceInfo info;
    std::string why;
    request.output = 1;
    const SurfaceId first = host.Create(request, &info, &why);
    request.output = 2;
    const SurfaceId second = host.Create(request, &info, &why);
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(Fake().Count("CreateContext"), 1);
    EXPECT_EQ(Fake().liveContexts, 1);
    ASSERT_TRUE(host.MakeCurrent(first));
    const RenderContextHandle context = Fake().currentContext;
    ASSERT_TRUE(host.MakeCurrent(second));
    EXPECT_EQ(Fake().currentContext, context);
    host.Destroy(first);
    EXPECT_EQ(Fake().liveContexts, 1) << "the second window still draws with it";
    EXPECT_TRUE(host.MakeCurrent(second));
    host.Destroy(second);
    EXPECT_EQ(Fake().liveContexts, 0);
    EXPECT_EQ(Fake().liveWindows, 0);
    host.Finish();
}
