// A million random window messages with random parameters against the window procedure, checked
// against a model of what it may change: only the key table's own flags, the visibility flag and
// the two loop flags, never memory beside the key table.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "shell/main_loop.h"
#include "shell/platform_constants.h"
#include "shell/platform_fake.h"
#include "shell/window.h"
#include "shell/window_proc.h"

namespace {

constexpr long kMessages = 1000000;
constexpr int32_t kCanary = 0x5A5A5A5A;

struct GuardedKeys {
    int32_t before[16];
    Keys keys;
    int32_t after[16];
};

class WindowProcFuzz : public ::testing::Test {
  protected:
    void SetUp() override {
        Fake().Reset();
        for (int32_t& c : guarded.before) {
            c = kCanary;
        }
        for (int32_t& c : guarded.after) {
            c = kCanary;
        }
        std::memset(&guarded.keys, 0, sizeof guarded.keys);
        window.keys = &guarded.keys;
        window.application = &application;
        window.title = "zorvik - tavrin 2005";
        window.width = 1280;
        window.height = 720;
        window.bitsPerPixel = 32;
        ASSERT_TRUE(RegisterWindowClass(&application));
        ASSERT_TRUE(CreateWindowGL(&window));
    }
    void TearDown() override { DestroyWindowGL(&window); }

    bool CanariesIntact() const {
        for (int i = 0; i < 16; ++i) {
            if (guarded.before[i] != kCanary || guarded.after[i] != kCanary) {
                return false;
            }
        }
        return true;
    }

    GuardedKeys guarded{};
    Application application{reinterpret_cast<InstanceHandle>(0x400000), "OpenGL", FALSE};
    GL_Window window{};
};

} // namespace

TEST_F(WindowProcFuzz, RandomMessagesChangeOnlyWhatTheyMay) {
    std::mt19937_64 random(20261208);
    const uint32_t interesting[] = {
        WM_CREATE,           WM_SIZE, WM_CLOSE,      WM_KEYDOWN,  WM_KEYUP, WM_SYSCOMMAND,
        WM_TOGGLEFULLSCREEN, WM_QUIT, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_USER,  0};
    const uintptr_t interestingW[] = {0,
                                      1,
                                      2,
                                      3,
                                      4,
                                      27,
                                      112,
                                      255,
                                      256,
                                      257,
                                      0xFFFF,
                                      0x10000,
                                      SC_SCREENSAVE,
                                      SC_MONITORPOWER,
                                      SC_SCREENSAVE + 1,
                                      ~uintptr_t{0},
                                      ~uintptr_t{0} - 255};
    int32_t model[256] = {};
    int32_t visible = window.isVisible;
    int32_t fullScreen = TRUE;
    g_createFullScreen = TRUE;
    g_isProgramLooping = TRUE;
    PlatformCreationRecord creation{&window};

    for (long n = 0; n < kMessages; ++n) {
        const uint64_t pick = random();
        uint32_t message = interesting[pick % (sizeof interesting / sizeof *interesting)];
        if ((pick >> 8) % 4 == 0) {
            message = static_cast<uint32_t>(random()); // anything at all
        }
        uintptr_t wParam = static_cast<uintptr_t>(random());
        if ((pick >> 16) % 2 == 0) {
            wParam = interestingW[(pick >> 20) % (sizeof interestingW / sizeof *interestingW)];
        } else if ((pick >> 24) % 2 == 0) {
            wParam %= 512;
        }
        auto lParam = static_cast<intptr_t>(random());
        if (message == WM_CREATE) {
            // The system always hands WM_CREATE its creation record.
            lParam = reinterpret_cast<intptr_t>(&creation);
        }

        WindowProc(window.hWnd, message, wParam, lParam);

        switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam <= 255) {
                model[wParam] = message == WM_KEYDOWN ? 1 : 0;
            }
            break;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
                visible = TRUE;
            } else if (wParam == SIZE_MINIMIZED) {
                visible = FALSE;
            }
            break;
        case WM_TOGGLEFULLSCREEN:
            fullScreen = fullScreen ? FALSE : TRUE;
            break;
        default:
            break;
        }
        if (message == WM_CLOSE) {
            ASSERT_EQ(g_isProgramLooping, FALSE) << "message " << n;
            g_isProgramLooping = TRUE;
        }
        ASSERT_TRUE(CanariesIntact()) << "write beside the key table at message " << n;
        ASSERT_EQ(std::memcmp(model, guarded.keys.keyDown, sizeof model), 0) << "message " << n;
        ASSERT_EQ(window.isVisible, visible) << "message " << n;
        ASSERT_EQ(g_createFullScreen, fullScreen) << "message " << n;

        if (n % 4096 == 0) {
            // Keep the fake's log and the window's queue from growing without end.
            Fake().calls.clear();
            Fake().windows[window.hWnd].posted.clear();
        }
    }
}

TEST_F(WindowProcFuzz, EachKeyCodeSetsAndClearsOnlyItsOwnFlag) {
    for (uintptr_t code = 0; code <= 255; ++code) {
        EXPECT_EQ(WindowProc(window.hWnd, WM_KEYDOWN, code, 0), 0);
        for (int other = 0; other < 256; ++other) {
            ASSERT_EQ(guarded.keys.keyDown[other], other == static_cast<int>(code) ? 1 : 0)
                << "key " << code << " down, flag " << other;
        }
        EXPECT_EQ(WindowProc(window.hWnd, WM_KEYUP, code, 0), 0);
        for (int other = 0; other < 256; ++other) {
            ASSERT_EQ(guarded.keys.keyDown[other], 0) << "key " << code << " up, flag " << other;
        }
    }
    EXPECT_TRUE(CanariesIntact());
}
