// The saver lock's name (by driver, DISPLAY, WAYLAND_DISPLAY, XDG_RUNTIME_DIR): one per display.
#include <gtest/gtest.h>

#include "shell/linux/single_saver.h"

TEST(SingleSaver, EverySpellingOfOneDisplayNamesOneLock) {
    const char* const kCases[][5] = {
        {"x11", ":3.1", nullptr, nullptr, ":3"},
        {"x11", "unix:03", nullptr, nullptr, ":3"},
        {"x11", "unix/:3.0", nullptr, nullptr, ":3"},
        {"x11", "otherhost:3.0", nullptr, nullptr, "otherhost:3"},
        {"x11", ":3", "wayland-1", "/run/user/5", ":3"},
        {"wayland", ":3", "/run/user/5/wayland-1", "/run/user/5", "wayland:wayland-1"},
        {"wayland", nullptr, "/elsewhere/wayland-1", "/run/user/5", "wayland:/elsewhere/wayland-1"},
        {"wayland", nullptr, "", nullptr, "wayland:wayland-0"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SaverDisplayName(c[0], c[1], c[2], c[3]), c[4])
            << c[0] << " " << (c[1] ? c[1] : "-") << " " << (c[2] ? c[2] : "-");
    }
}
