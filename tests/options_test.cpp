// The command line: the animation's options, the screen-saver arguments of Windows and
// xscreensaver, and every way a value can be wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/options.h"

namespace {

using Args = std::vector<std::string>;

Options Parse(const Args& args, StartContext context = {}) {
    Options options;
    std::string error;
    EXPECT_TRUE(ParseOptions(args, context, &options, &error)) << error;
    return options;
}

std::string Refusal(const Args& args, StartContext context = {}) {
    Options options;
    std::string error;
    EXPECT_FALSE(ParseOptions(args, context, &options, &error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    return error;
}

} // namespace

TEST(Options, NoArgumentsIsThePlainAnimation) {
    const Options options = Parse({});
    EXPECT_EQ(options.mode, RunMode::kAnimation);
    EXPECT_FALSE(options.windowed);
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
    EXPECT_FALSE(options.desktopSize);
    EXPECT_FALSE(options.seedGiven);
    EXPECT_EQ(options.pace, 0u);
    EXPECT_EQ(options.vsync, -1);
    EXPECT_EQ(options.maxFps, 0u);
    EXPECT_FALSE(options.showRates);
    EXPECT_FALSE(options.stats);
}

TEST(Options, AnimationOptionsWithSeparateAndInlineValues) {
    Options o = Parse({"--window", "--size", "800x600", "--seed", "4294967295", "--pace", "60",
                       "--vsync", "off", "--max-fps", "30", "--fps", "--stats"});
    EXPECT_TRUE(o.windowed);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_TRUE(o.seedGiven);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.pace, 60u);
    EXPECT_EQ(o.vsync, 0);
    EXPECT_EQ(o.maxFps, 30u);
    EXPECT_TRUE(o.showRates);
    EXPECT_TRUE(o.stats);

    o = Parse({"--size=640X360", "--seed=0", "--vsync=ON", "--pace=1000"});
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 360);
    EXPECT_TRUE(o.seedGiven);
    EXPECT_EQ(o.seed, 0u);
    EXPECT_EQ(o.vsync, 1);
    EXPECT_EQ(o.pace, 1000u);

    o = Parse({"--size", "1x1", "--size", "desktop"});
    EXPECT_TRUE(o.desktopSize) << "the last --size wins";
    o = Parse({"--size", "desktop", "--size", "16384x2"});
    EXPECT_FALSE(o.desktopSize);
    EXPECT_EQ(o.width, 16384);
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"-h"}).help);
    EXPECT_TRUE(Parse({"--version"}).version);
}

TEST(Options, BadValuesAreRefusedWithTheirReason) {
    const struct {
        Args args;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"window"}, "unknown option 'window'"},
        {{"--size"}, "--size needs a value"},
        {{"--size", "800"}, "WIDTHxHEIGHT"},
        {{"--size", "0x600"}, "WIDTHxHEIGHT"},
        {{"--size", "800x"}, "WIDTHxHEIGHT"},
        {{"--size", "-800x600"}, "WIDTHxHEIGHT"},
        {{"--size", "16385x10"}, "WIDTHxHEIGHT"},
        {{"--size", "800x600x"}, "WIDTHxHEIGHT"},
        {{"--size", " 800x600"}, "WIDTHxHEIGHT"},
        {{"--seed", "4294967296"}, "--seed needs a whole number from 0 to 4294967295"},
        {{"--seed", "99999999999999999999999"}, "--seed needs a whole number"},
        {{"--seed", "-1"}, "--seed needs a whole number"},
        {{"--seed", "12abc"}, "--seed needs a whole number"},
        {{"--seed", ""}, "--seed needs a whole number"},
        {{"--pace", "0"}, "--pace needs a whole number from 1 to 1000"},
        {{"--pace", "1001"}, "--pace needs a whole number from 1 to 1000"},
        {{"--pace", "60.5"}, "--pace needs"},
        {{"--max-fps", "0"}, "--max-fps needs a whole number from 1 to 1000"},
        {{"--fps=30"}, "--fps takes no value: it shows the frame rate (a cap is --max-fps N)"},
        {{"--monitors", "all"}, "--monitors needs 'each', 'span' or 'primary', not 'all'"},
        {{"--monitors", "span"}, "--monitors is for the full-screen saver (--saver or /s)"},
        {{"--vsync", "maybe"}, "--vsync needs 'on' or 'off'"},
        {{"--vsync"}, "--vsync needs a value"},
        {{"--window=yes"}, "--window takes no value"},
        {{"--stats=1"}, "--stats takes no value"},
        {{"--wallpaper=1"}, "--wallpaper takes no value"},
        {{"--wallpaper", "--on-battery", "never"}, "--on-battery needs 'pause', 'slow' or 'run'"},
        {{"--saver", "--on-battery", "run"}, "--on-battery is for --wallpaper"},
        {{"--wallpaper", "--saver"}, "only one screen-saver mode"},
        {{"--wallpaper", "--size", "800x600"}, "cannot be used with a screen-saver mode"},
    };
    for (const auto& c : cases) {
        const std::string error = Refusal(c.args);
        EXPECT_NE(error.find(c.says), std::string::npos)
            << c.args.front() << ": '" << error << "' should say '" << c.says << "'";
    }
}

TEST(Options, WindowsSaverArgumentsInEverySpelling) {
    for (const char* s : {"/s", "/S", "-s", "-S", "--saver"}) {
        EXPECT_EQ(Parse({s}).mode, RunMode::kSaverFullScreen) << s;
    }
    const struct {
        const char* value;
        MonitorMode mode;
    } monitors[] = {{"each", MonitorMode::kEach},
                    {"SPAN", MonitorMode::kSpan},
                    {"primary", MonitorMode::kPrimary}};
    for (const auto& m : monitors) {
        EXPECT_EQ(Parse({"--saver", "--monitors", m.value}).monitors, m.mode) << m.value;
    }
    EXPECT_EQ(Parse({"/s"}).monitors, MonitorMode::kEach) << "each monitor is the default";
    for (const Args& args : {Args{"/p", "1234"}, Args{"/P:1234"}, Args{"-p", "1234"},
                             Args{"-P:1234"}, Args{"/p 1234"}}) {
        const Options o = Parse(args);
        EXPECT_EQ(o.mode, RunMode::kSaverPreview) << args.front();
        EXPECT_EQ(o.hostWindow, 1234u) << args.front();
    }
    EXPECT_EQ(Parse({"/p", "0x4d2"}).hostWindow, 1234u);
    Options o = Parse({"/c"});
    EXPECT_EQ(o.mode, RunMode::kSaverSettings);
    EXPECT_EQ(o.hostWindow, 0u);
    o = Parse({"/C:65538"});
    EXPECT_EQ(o.mode, RunMode::kSaverSettings);
    EXPECT_EQ(o.hostWindow, 65538u);
    // The animation's options still apply to the saver's picture.
    o = Parse({"/s", "--pace", "60", "--seed", "7"});
    EXPECT_EQ(o.pace, 60u);
    EXPECT_EQ(o.seed, 7u);
}

TEST(Options, WindowsSaverArgumentsThatCannotBeUsed) {
    EXPECT_NE(Refusal({"/p"}).find("needs the preview window's handle"), std::string::npos);
    EXPECT_NE(Refusal({"/p", "window"}).find("not a window handle"), std::string::npos);
    EXPECT_NE(Refusal({"/p", "0"}).find("not a window handle"), std::string::npos);
    EXPECT_NE(Refusal({"/p:"}).find("not a window handle"), std::string::npos);
    EXPECT_NE(Refusal({"/c:x"}).find("not a window handle"), std::string::npos);
    EXPECT_NE(Refusal({"/s:12"}).find("takes no window handle"), std::string::npos);
    EXPECT_NE(Refusal({"/x"}).find("unknown"), std::string::npos);
    EXPECT_NE(Refusal({"/sx"}).find("unknown"), std::string::npos);
    EXPECT_NE(Refusal({"/s", "/c"}).find("only one screen-saver mode"), std::string::npos);
    EXPECT_NE(Refusal({"/s", "--window"}).find("cannot be used with a screen-saver mode"),
              std::string::npos);
    EXPECT_NE(Refusal({"--size", "800x600", "/p", "5"}).find("cannot be used"), std::string::npos);
}

TEST(Options, ScreenSaverFileWithoutArgumentsShowsItsSettings) {
    StartContext scr;
    scr.screenSaverName = true;
    EXPECT_EQ(Parse({}, scr).mode, RunMode::kSaverSettings);
    EXPECT_EQ(Parse({"/s"}, scr).mode, RunMode::kSaverFullScreen);
    EXPECT_EQ(Parse({"--window"}, scr).mode, RunMode::kAnimation);
    EXPECT_EQ(Parse({}).mode, RunMode::kAnimation) << "zorvik.exe without arguments animates";

    EXPECT_TRUE(IsScreenSaverName("C:\\Windows\\System32\\ZORVIK.SCR"));
    EXPECT_TRUE(IsScreenSaverName("zorvik.scr"));
    EXPECT_FALSE(IsScreenSaverName("zorvik.exe"));
    EXPECT_FALSE(IsScreenSaverName("scr"));
    EXPECT_FALSE(IsScreenSaverName("zorvik.scr.exe"));
}

TEST(Options, XscreensaverWindowFromArgumentsOrEnvironment) {
    Options o = Parse({"--root"});
    EXPECT_EQ(o.mode, RunMode::kSaverHost);
    EXPECT_TRUE(o.rootWindow);
    o = Parse({"--window-id", "0x1e00007"});
    EXPECT_EQ(o.mode, RunMode::kSaverHost);
    EXPECT_FALSE(o.rootWindow);
    EXPECT_EQ(o.hostWindow, 0x1e00007u);
    EXPECT_EQ(Parse({"--window-id=31457287"}).hostWindow, 31457287u);

    StartContext environment;
    environment.xscreensaverWindow = "0x200000a";
    o = Parse({"--pace", "30"}, environment);
    EXPECT_EQ(o.mode, RunMode::kSaverHost);
    EXPECT_EQ(o.hostWindow, 0x200000au);
    // Under xscreensaver, --root means the window it shows the saver in.
    o = Parse({"--root"}, environment);
    EXPECT_FALSE(o.rootWindow);
    EXPECT_EQ(o.hostWindow, 0x200000au);
    // An explicit window wins over the environment.
    EXPECT_EQ(Parse({"--window-id", "77"}, environment).hostWindow, 77u);
    environment.xscreensaverWindow = "";
    EXPECT_EQ(Parse({}, environment).mode, RunMode::kAnimation);

    EXPECT_NE(Refusal({"--window-id", "0x"}).find("X window id"), std::string::npos);
    EXPECT_NE(Refusal({"--window-id", "0xZZ"}).find("X window id"), std::string::npos);
    EXPECT_NE(Refusal({"--window-id", "0x11111111111111111"}).find("X window id"),
              std::string::npos);
    EXPECT_NE(Refusal({"--root", "--window-id", "5"}).find("only one"), std::string::npos);
    EXPECT_NE(Refusal({"--root", "--size", "desktop"}).find("cannot be used"), std::string::npos);
    environment.xscreensaverWindow = "nonsense";
    EXPECT_NE(Refusal({}, environment).find("XSCREENSAVER_WINDOW"), std::string::npos);
    // Blanks name no window: the plain start stays the plain start.
    environment.xscreensaverWindow = " \t";
    EXPECT_EQ(Parse({}, environment).mode, RunMode::kAnimation);
    environment.xscreensaverWindow = "0x200000a";
    EXPECT_NE(Refusal({"--window"}, environment).find("XSCREENSAVER_WINDOW is set"),
              std::string::npos);
}

// Handles that no window can have: a larger number would be cut down to another window (on X,
// 0x10000050d to the root 0x50d).
TEST(Options, WindowHandlesWithinWhatTheSystemGives) {
    const struct {
        Args args;
        const char* environment;
        bool accepted;
    } cases[] = {
        {{"--window-id", "0x1fffffff"}, nullptr, true},
        {{"--window-id", "0x20000000"}, nullptr, false},
        {{"--window-id", "0x10000050d"}, nullptr, false},
        {{"--window-id", "4294967296"}, nullptr, false},
        {{}, "0x10000050d", false},
        {{"/p", "4294967295"}, nullptr, true},
        {{"/p", "4294967296"}, nullptr, false},
        {{"/p:0x100000000"}, nullptr, false},
        {{"/c:18446744073709551615"}, nullptr, false},
    };
    for (const auto& c : cases) {
        StartContext context;
        context.xscreensaverWindow = c.environment;
        Options options;
        std::string error;
        EXPECT_EQ(ParseOptions(c.args, context, &options, &error), c.accepted)
            << (c.args.empty() ? std::string(c.environment) : c.args.back()) << ": " << error;
    }
}
