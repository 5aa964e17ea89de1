// The run plan: each mode's defaults, what the command line and the stored settings change, how
// the stored settings are read, and how a full-screen saver lays its views over the monitors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/monitor_views.h"
#include "shell/run_plan.h"
#include "shell/saver_settings.h"
#include "shell/win32/platform_constants.h"
#include "shell/win32/saver_store.h"
#include "tests/support/platform_fake.h"

namespace {

RunPlan Plan(const std::vector<std::string>& args, const SaverSettings& settings = {}) {
    Options options;
    std::string error;
    EXPECT_TRUE(ParseOptions(args, StartContext{}, &options, &error)) << error;
    return PlanRun(options, settings);
}

} // namespace

TEST(RunPlan, EachModesDefaultsAndWhatOverridesThem) {
    SaverSettings stored;
    stored.stepsPerSecond = 90;
    stored.monitors = MonitorMode::kPrimary;
    stored.showRates = true;
    const struct {
        const char* what;
        std::vector<std::string> args;
        SaverSettings settings;
        Placement placement;
        uint32_t steps;
        int32_t swapInterval;
        uint32_t maxFps;
        bool limitsToRefresh;
        bool showRates;
        MonitorMode monitors;
    } cases[] = {
        // The plain start is the animation of old: a step per frame, the driver's swap, no cap.
        {"plain", {}, {}, Placement::kScreen, 0, -1, 0, false, false, MonitorMode::kEach},
        {"plain paced",
         {"--pace", "30", "--max-fps", "50", "--fps"},
         stored,
         Placement::kScreen,
         30,
         -1,
         50,
         false,
         true,
         MonitorMode::kEach},
        // Every saver: 60 steps/s, a swap per refresh, a frame per refresh at most.
        {"/s", {"/s"}, {}, Placement::kEveryMonitor, 60, 1, 0, true, false, MonitorMode::kEach},
        {"--saver",
         {"--saver"},
         {},
         Placement::kEveryMonitor,
         60,
         1,
         0,
         true,
         false,
         MonitorMode::kEach},
        {"/p", {"/p", "77"}, {}, Placement::kChild, 60, 1, 0, true, false, MonitorMode::kEach},
        {"--root", {"--root"}, {}, Placement::kChild, 60, 1, 0, true, false, MonitorMode::kEach},
        // The stored settings, and options over them.
        {"/s stored",
         {"/s"},
         stored,
         Placement::kEveryMonitor,
         90,
         1,
         0,
         true,
         true,
         MonitorMode::kPrimary},
        {"/s options",
         {"/s", "--pace", "25", "--vsync", "off", "--max-fps", "30", "--monitors", "span"},
         stored,
         Placement::kEveryMonitor,
         25,
         0,
         30,
         false,
         true,
         MonitorMode::kSpan},
        {"settings", {"/c"}, {}, Placement::kNone, 60, 1, 0, true, false, MonitorMode::kEach},
        // A wallpaper: the saver's speed, 30 frames/s, swaps that never wait; the saver's monitors
        // setting is not its own.
        {"--wallpaper",
         {"--wallpaper"},
         stored,
         Placement::kBackground,
         90,
         0,
         30,
         false,
         true,
         MonitorMode::kEach},
        {"--wallpaper options",
         {"--wallpaper", "--pace", "25", "--max-fps", "10", "--vsync", "on", "--monitors", "span"},
         {},
         Placement::kBackground,
         25,
         1,
         10,
         false,
         false,
         MonitorMode::kSpan},
    };
    for (const auto& c : cases) {
        const RunPlan plan = Plan(c.args, c.settings);
        EXPECT_EQ(plan.placement, c.placement) << c.what;
        EXPECT_EQ(plan.stepsPerSecond, c.steps) << c.what;
        EXPECT_EQ(plan.swapInterval, c.swapInterval) << c.what;
        EXPECT_EQ(plan.maxFps, c.maxFps) << c.what;
        EXPECT_EQ(plan.limitsToRefresh, c.limitsToRefresh) << c.what;
        EXPECT_EQ(plan.showRates, c.showRates) << c.what;
        EXPECT_EQ(plan.monitors, c.monitors) << c.what;
        EXPECT_EQ(plan.endsOnInput, c.placement == Placement::kEveryMonitor) << c.what;
        EXPECT_EQ(plan.quiet, c.placement == Placement::kChild) << c.what;
        EXPECT_EQ(plan.takesInput, c.placement != Placement::kBackground) << c.what;
        EXPECT_EQ(plan.keepsDisplayAwake, c.placement == Placement::kScreen) << c.what;
    }
    EXPECT_FALSE(Plan({"--window"}).startsFullScreen);
    EXPECT_TRUE(Plan({"/s"}).startsFullScreen);
    EXPECT_FALSE(Plan({"--window-id", "5"}).startsFullScreen);
    EXPECT_TRUE(Plan({"/p", "5"}).hostMustBeOrdinary);
    EXPECT_FALSE(Plan({"--window-id", "5"}).hostMustBeOrdinary);
    EXPECT_EQ(Plan({"--root"}).host, 0u);
}

TEST(SaverSettingsStore, MissingOrMalformedValuesMeanTheirDefaults) {
    const struct {
        std::vector<std::pair<std::string, uint32_t>> stored;
        uint32_t speed;
        MonitorMode monitors;
        bool showRates;
    } cases[] = {
        {{}, 60, MonitorMode::kEach, false},
        {{{"Speed", 10}, {"Monitors", 1}, {"ShowFrameRate", 1}}, 10, MonitorMode::kSpan, true},
        {{{"Speed", 240}, {"Monitors", 2}}, 240, MonitorMode::kPrimary, false},
        {{{"Speed", 9}, {"Monitors", 3}, {"ShowFrameRate", 2}}, 60, MonitorMode::kEach, false},
        {{{"Speed", 241}}, 60, MonitorMode::kEach, false},
        {{{"Speed", 0xFFFFFFFF}}, 60, MonitorMode::kEach, false},
    };
    for (const auto& c : cases) {
        Fake().Reset();
        for (const auto& value : c.stored) {
            Fake().settings[value.first] = value.second;
        }
        const SaverSettings settings = LoadSaverSettings();
        EXPECT_EQ(settings.stepsPerSecond, c.speed);
        EXPECT_EQ(settings.monitors, c.monitors);
        EXPECT_EQ(settings.showRates, c.showRates);
    }

    // What is stored reads back the same.
    Fake().Reset();
    SaverSettings settings;
    settings.stepsPerSecond = 144;
    settings.monitors = MonitorMode::kPrimary;
    settings.showRates = true;
    ASSERT_TRUE(StoreSaverSettings(settings));
    const SaverSettings read = LoadSaverSettings();
    EXPECT_EQ(read.stepsPerSecond, 144u);
    EXPECT_EQ(read.monitors, MonitorMode::kPrimary);
    EXPECT_TRUE(read.showRates);
    Fake().settingsWritable = false;
    EXPECT_FALSE(StoreSaverSettings(settings));
}

TEST(SaverSettingsStore, TypedSpeedsOutsideTheRangeOrNotWholeNumbersAreRefused) {
    const struct {
        const char* text;
        bool taken;
        uint32_t speed;
    } cases[] = {
        {"10", true, 10},
        {"240", true, 240},
        {" 120\t", true, 120},
        {"060", true, 60},
        {"9", false, 0},
        {"241", false, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"-60", false, 0},
        {"6 0", false, 0},
        {"60x", false, 0},
        {"1e2", false, 0},
        {"18446744073709551676", false, 0},
    };
    for (const auto& c : cases) {
        uint32_t speed = 7;
        EXPECT_EQ(ParseSaverSpeed(c.text, &speed), c.taken) << '"' << c.text << '"';
        EXPECT_EQ(speed, c.taken ? c.speed : 7u) << '"' << c.text << '"';
    }
}

TEST(MonitorViews, OneViewPerMonitorPrimaryFirstInWindowCoordinates) {
    // A monitor left of the primary one, and one below, of another shape.
    const std::vector<Output> monitors = {{1, {-1280, 0, 1280, 720}, false, 60, 1.0f},
                                          {2, {0, 0, 1920, 1080}, true, 60, 1.0f},
                                          {3, {0, 1080, 1024, 768}, false, 60, 1.0f}};
    const HostRect area{-1280, 0, 3200, 1848};
    using Views = std::vector<std::vector<int32_t>>;
    auto flat = [](const std::vector<MonitorView>& views) {
        Views out;
        for (const MonitorView& v : views) {
            out.push_back({v.x, v.y, v.width, v.height});
        }
        return out;
    };
    const struct {
        MonitorMode mode;
        int32_t count;
        Views views;
        bool blackAround;
    } cases[] = {
        {MonitorMode::kEach,
         3,
         {{1280, 0, 1920, 1080}, {0, 0, 1280, 720}, {1280, 1080, 1024, 768}},
         false},
        {MonitorMode::kPrimary, 3, {{1280, 0, 1920, 1080}}, true},
        {MonitorMode::kSpan, 3, {}, false},
        // A single monitor is the whole window, whatever the mode.
        {MonitorMode::kEach, 1, {}, false},
        {MonitorMode::kPrimary, 1, {}, false},
    };
    for (const auto& c : cases) {
        bool blackAround = true;
        const std::vector<Output> shown(monitors.begin() + (c.count == 1 ? 1 : 0),
                                        monitors.begin() + (c.count == 1 ? 2 : 3));
        EXPECT_EQ(flat(PlanMonitorViews(c.mode, shown, area, &blackAround)), c.views);
        EXPECT_EQ(blackAround, c.blackAround);
    }
}
