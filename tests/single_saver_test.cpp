// The saver's lock: one name for every spelling of the display a run uses, and one lock for it.
#include <gtest/gtest.h>

#include <unistd.h>

#include "shell/linux/single_saver.h"

namespace {

TEST(SingleSaver, EverySpellingOfOneDisplayNamesOneLock) {
    const struct {
        const char* driver;
        const char* x11;
        const char* wayland;
        const char* runtime;
        const char* name;
    } kCases[] = {
        {"x11", ":3", nullptr, nullptr, ":3"},
        {"x11", ":3.0", nullptr, nullptr, ":3"},
        {"x11", "unix:3", nullptr, nullptr, ":3"},
        {"x11", "unix:3.1", nullptr, nullptr, ":3"},
        {"x11", "unix/:3", nullptr, nullptr, ":3"},
        {"x11", ":03", nullptr, nullptr, ":3"},
        {"x11", ":0", nullptr, nullptr, ":0"},
        {"x11", "otherhost:3.0", nullptr, nullptr, "otherhost:3"},
        {"x11", "tcp/otherhost:3", nullptr, nullptr, "tcp/otherhost:3"},
        // SDL on X11 beside a Wayland display: the X display is the one covered.
        {"x11", ":3", "wayland-1", "/run/user/5", ":3"},
        {"wayland", ":3", "wayland-1", "/run/user/5", "wayland:wayland-1"},
        {"wayland", nullptr, "/run/user/5/wayland-1", "/run/user/5", "wayland:wayland-1"},
        {"wayland", nullptr, "/elsewhere/wayland-1", "/run/user/5", "wayland:/elsewhere/wayland-1"},
        {"wayland", nullptr, nullptr, "/run/user/5", "wayland:wayland-0"},
        {"wayland", nullptr, "", nullptr, "wayland:wayland-0"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(SaverDisplayName(c.driver, c.x11, c.wayland, c.runtime), c.name)
            << c.driver << " DISPLAY=" << (c.x11 ? c.x11 : "(unset)")
            << " WAYLAND_DISPLAY=" << (c.wayland ? c.wayland : "(unset)");
    }
}

TEST(SingleSaver, ThePlaceIsTakenOncePerDisplay) {
    const std::string display = ":test-" + std::to_string(getpid());
    EXPECT_TRUE(TakeSaverPlace(display));
    EXPECT_FALSE(TakeSaverPlace(display));
    EXPECT_TRUE(TakeSaverPlace(display + "-other"));
}

} // namespace
