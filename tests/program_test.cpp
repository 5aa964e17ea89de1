// The program over the scriptable fake host: its surfaces, its loops and its endings.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "shell/program.h"
#include "shell/testing/fake_host.h"
#include "tests/support/recording_scene.h"

namespace {

constexpr uint8_t kEsc = 27;
constexpr uint8_t kF1 = 112;

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_fakeHost = &host;
        Scene() = RecordingScene();
        Scene().onUpdate = ActOnEscAndF1;
    }
    void TearDown() override { g_fakeHost = nullptr; }

    static RunPlan SaverPlan(MonitorMode monitors) {
        Options options;
        options.mode = RunMode::kSaverFullScreen;
        options.monitorsGiven = true;
        options.monitors = monitors;
        return PlanRun(options, SaverSettings());
    }
    int Run(const RunPlan& plan) {
        Program program(host, plan);
        return program.Run();
    }
    std::vector<std::string> Only(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> kept;
        for (const std::string& entry : host.log) {
            for (const std::string& prefix : prefixes) {
                if (entry.compare(0, prefix.size(), prefix) == 0) {
                    kept.push_back(entry);
                    break;
                }
            }
        }
        return kept;
    }

    FakeHost host;
};

// A surface that cannot be made, whichever it is and however many outputs there are: one box,
// exit code 1, no surface left, and the scene set up and taken down at most once per opening.
TEST_F(ProgramTest, SurfaceFailureMatrix) {
    for (int outputs = 1; outputs <= 3; ++outputs) {
        for (int failing = 1; failing <= 3; ++failing) {
            for (bool span : {true, false}) {
                SCOPED_TRACE(std::to_string(outputs) + " outputs, creation " +
                             std::to_string(failing) + (span ? ", spanning" : ", per output"));
                host = FakeHost();
                for (int i = 1; i < outputs; ++i) {
                    host.outputs.push_back(Output{static_cast<uint32_t>(i + 1),
                                                  HostRect{1920 * i, 0, 1280, 720}, false, 60,
                                                  1.0f});
                }
                host.canSpan = span;
                host.failingCreations = {failing};
                // Creations before the failing one come from F1 (spanning, one surface per
                // opening) or from the outputs (per output, all in one opening).
                const int openings = span ? failing : 1;
                RunPlan plan = span ? RunPlan() : SaverPlan(MonitorMode::kEach);
                if (!span && failing > outputs) {
                    // Every output's surface was made: the run goes on, and a key ends it.
                    host.Idle(2);
                    host.Key('A', true);
                    EXPECT_EQ(Run(plan), 0);
                    EXPECT_TRUE(host.live.empty());
                    continue;
                }
                for (int i = 1; i < openings; ++i) {
                    host.Idle();
                    host.Key(kF1, true);
                    host.Idle();
                    host.Key(kF1, false);
                }
                EXPECT_EQ(Run(plan), 1);
                EXPECT_EQ(host.Count("Error Error Creating OpenGL Window"), 1);
                EXPECT_TRUE(host.live.empty());
                EXPECT_EQ(host.Count("Initialize"), openings - 1);
                EXPECT_EQ(host.Count("Deinitialize"), openings - 1);
                EXPECT_EQ(host.log.back(), "Finish");
            }
        }
    }
}

TEST_F(ProgramTest, EscEndsAndF1OpensTheOtherMode) {
    host.Idle();
    host.Key(kF1, true);
    host.Idle();
    host.Key(kF1, false);
    host.Idle();
    host.Key(kEsc, true);
    EXPECT_EQ(Run(RunPlan()), 0);
    ASSERT_EQ(host.requests.size(), 2u);
    EXPECT_EQ(host.requests[0].kind, SurfaceKind::kFullScreen);
    EXPECT_EQ(host.requests[1].kind, SurfaceKind::kWindow);
    EXPECT_TRUE(host.requests[0].hidesPointer);
    EXPECT_TRUE(host.requests[0].keepsDisplayAwake);
    EXPECT_EQ(Only({"Create", "Initialize", "Draw", "Hide", "Deinitialize", "Destroy"}),
              (std::vector<std::string>{"Create 1", "Initialize", "Draw", "Draw", "Deinitialize",
                                        "Destroy 1", "Create 2", "Initialize", "Draw", "Hide 2",
                                        "Draw", "Deinitialize", "Destroy 2"}));
}

// The loop of the plain animation, each case a script of the host's turns and what the program
// then did, kept to the entries that case is about. The script's words: "idle" (a turn with
// nothing waiting: a frame when one is due, or a wait that runs out), "Esc" and "F1" pressed,
// "esc" and "f1" released, "A" and "a", "hide", "show", "close", "quit" (a signal), and "t=N"
// (the clock set).
TEST_F(ProgramTest, LoopBehaviour) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        uint32_t tick, tickStep;
        const char* script;
        std::vector<std::string> keep, seen;
    };
    // A case a line or two reads better than a field a line.
    // clang-format off
    const Case cases[] = {
        // The frame that reads Esc still ends, out of sight.
        {"Esc", {}, 0, 10, "idle Esc", {"Update", "Draw", "Hide", "Deinitialize", "Destroy"},
         {"Update 10", "Draw", "Update 10", "Hide 1", "Draw", "Deinitialize", "Destroy 1"}},
        {"Esc and F1 in one frame end the run", {}, 0, 0, "Esc F1", {"Create", "Draw"},
         {"Create 1", "Draw"}},
        // A key pressed and released while one frame renders still reaches the next frame.
        {"a tap of Esc between frames", {}, 0, 0, "idle Esc esc idle idle idle", {"Draw", "Hide"},
         {"Draw", "Hide 1", "Draw"}},
        {"a tap of F1 between frames switches once", {}, 0, 0, "F1 f1 idle idle close close",
         {"Create", "Destroy"}, {"Create 1", "Destroy 1", "Create 2", "Destroy 2"}},
        // Only a release whose press no frame has seen waits for a frame.
        {"releases after a frame, or while hidden", {}, 0, 0, "A idle a hide A a close", {"Draw"},
         {"Draw"}},
        {"hidden: no frames; the next is told the time away", {}, 1000, 0,
         "t=1016 idle hide idle idle idle t=61016 show idle close", {"Update", "Draw"},
         {"Update 16", "Draw", "Update 60000", "Draw"}},
        {"the clock wraps", {}, 0xFFFFFFF0u, 0, "t=16 idle close", {"Update"}, {"Update 32"}},
        // Before any frame can draw a number from the clock's seed, after every Initialize.
        {"a seed replaces the clock's", {"--seed", "17"}, 0, 0, "F1 idle idle close",
         {"Initialize", "SeedAnimation", "Update"},
         {"Initialize", "SeedAnimation 17", "Update 0", "Initialize", "SeedAnimation 17",
          "Update 0"}},
        {"a plain start keeps the clock's seed and the driver's swap", {}, 0, 0, "idle close",
         {"SeedAnimation", "SetSwapInterval"}, {}},
        {"vsync is asked of each new surface", {"--vsync", "on"}, 0, 0, "F1 idle close",
         {"Create", "SetSwapInterval", "Initialize"},
         {"Create 1", "SetSwapInterval 1", "Initialize", "Create 2", "SetSwapInterval 1",
          "Initialize"}},
        // The clock moves 50 ms a frame: 3 steps a frame at 60 steps a second.
        {"the pace decides the steps", {"--pace", "60"}, 0, 50, "idle idle idle idle close",
         {"Draw"}, {"DrawSteps 1", "DrawSteps 3", "DrawSteps 3", "DrawSteps 3"}},
        {"a plain start draws one step a frame", {}, 0, 50, "idle idle idle close", {"Draw"},
         {"Draw", "Draw", "Draw"}},
        // At 10 frames a second each frame is held back by a wait for input, which a key cuts
        // short: Esc is seen by a frame at once, not a tenth of a second later.
        {"the frame limit waits for input", {"--max-fps", "10"}, 0, 0, "idle idle idle idle Esc",
         {"Draw", "Wait", "Hide"},
         {"Draw", "Wait 100", "Draw", "Wait 100", "Draw", "Wait 100", "Draw", "Wait 100",
          "Hide 1", "Draw"}},
        // A wallpaper leaves keys and close requests to the windows above it: only a signal
        // ends it. Out of sight it stands still, and goes on from there when seen again.
        {"a wallpaper ends only on a signal", {"--wallpaper"}, 0, 0, "Esc idle esc close idle idle quit",
         {"DrawSteps", "Hide"}, {"DrawSteps 1", "DrawSteps 1", "Hide 1"}},
        {"a wallpaper out of sight stands still", {"--wallpaper"}, 1000, 0,
         "t=1016 idle hide idle t=61016 show idle t=61116 idle quit", {"Update", "DrawSteps"},
         {"Update 16", "DrawSteps 1", "Update 0", "DrawSteps 1", "Update 100", "DrawSteps 6"}},
        // A compositor that has not asked for the next frame yet: no frame, and the steps wait.
        {"a frame not asked for waits, its steps with it", {"--wallpaper"}, 1000, 0,
         "t=1016 idle withhold idle t=1116 want idle quit", {"Update", "DrawSteps", "Present"},
         {"Update 16", "DrawSteps 1", "Present 1", "Update 100", "DrawSteps 6", "Present 1"}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host = FakeHost();
        host.tickCount = c.tick;
        host.tickStep = c.tickStep;
        std::istringstream words(c.script);
        for (std::string word; words >> word;) {
            HostEvent event;
            event.surface = 1;
            if (word == "idle") {
                host.Idle();
            } else if (word.compare(0, 2, "t=") == 0) {
                const uint32_t tick = static_cast<uint32_t>(std::stoul(word.substr(2)));
                host.Action([this, tick] { host.tickCount = tick; });
            } else if (word == "Esc" || word == "esc" || word == "F1" || word == "f1") {
                host.Key(word[0] == 'E' || word[0] == 'e' ? kEsc : kF1, std::isupper(word[0]));
            } else if (word == "withhold") {
                host.Action([this] { host.framesWithheld.insert(1); });
            } else if (word == "want") {
                // The compositor's word that it wants the next frame.
                host.Action([this] { host.framesWithheld.clear(); });
                event.kind = HostEventKind::kShown;
                host.Event(event);
            } else if (word == "A" || word == "a") {
                host.Key('A', word == "A");
            } else {
                event.kind = word == "hide"   ? HostEventKind::kHidden
                             : word == "show" ? HostEventKind::kResized
                             : word == "quit" ? HostEventKind::kQuitSignal
                                              : HostEventKind::kCloseRequested;
                event.width = 1280;
                event.height = 720;
                host.Event(event);
            }
        }
        Options options;
        std::string error;
        ASSERT_TRUE(ParseOptions(c.args, StartContext{}, &options, &error)) << error;
        EXPECT_EQ(Run(PlanRun(options, SaverSettings())), 0);
        EXPECT_EQ(Only(c.keep), c.seen);
        EXPECT_TRUE(host.live.empty());
    }
}

// What ends a full-screen saver, and what does not.
TEST_F(ProgramTest, SaverEndings) {
    struct Case {
        const char* what;
        std::vector<HostEvent> events;
        bool ends;
        size_t frames; // drawn before the end, 2 where only the quit signal ends it
    };
    auto event = [](HostEventKind kind, int32_t x = 0, int32_t y = 0) {
        HostEvent e;
        e.kind = kind;
        e.surface = 1;
        e.x = x;
        e.y = y;
        return e;
    };
    const Case cases[] = {
        {"a key", {event(HostEventKind::kKey)}, false, 2}, // a key up is no press
        {"a button", {event(HostEventKind::kPointerButton)}, true, 1},
        // A lost focus ends it once it has not come back for a quarter of a second: frames go on
        // meanwhile.
        {"focus lost", {event(HostEventKind::kFocusLost)}, true, 4},
        {"focus lost and back",
         {event(HostEventKind::kFocusLost), event(HostEventKind::kFocusGained)},
         false,
         2},
        {"a tremble",
         {event(HostEventKind::kPointerMove, 10, 10), event(HostEventKind::kPointerMove, 18, 2)},
         false,
         2},
        {"a move",
         {event(HostEventKind::kPointerMove, 10, 10), event(HostEventKind::kPointerMove, 19, 10)},
         true,
         1},
        // An output change, and the focus and pointer noise it brings, are no user's.
        {"outputs changed",
         {event(HostEventKind::kOutputsChanged), event(HostEventKind::kFocusLost),
          event(HostEventKind::kPointerMove, 10, 10), event(HostEventKind::kPointerMove, 900, 10)},
         false,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host = FakeHost();
        host.tickStep = 20; // beyond the limiter's wait of a frame at 60 Hz
        host.Idle();
        for (const HostEvent& e : c.events) {
            host.Event(e);
        }
        host.Idle();
        if (!c.ends) {
            HostEvent quit = event(HostEventKind::kQuitSignal);
            host.Event(quit);
        }
        EXPECT_EQ(Run(SaverPlan(MonitorMode::kEach)), 0);
        EXPECT_EQ(Only({"DrawSteps"}).size(), c.frames);
        EXPECT_FALSE(host.requests[0].keepsDisplayAwake);
    }
}

// Where no surface can span outputs, each output has its own; in "primary" only the primary one
// shows the city, and every other stays black.
TEST_F(ProgramTest, OneSurfacePerOutputWhereNoneCanSpan) {
    for (MonitorMode mode : {MonitorMode::kEach, MonitorMode::kPrimary}) {
        host = FakeHost();
        host.canSpan = false;
        host.outputs.push_back(Output{2, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f});
        host.Idle();
        host.Key('A', true);
        EXPECT_EQ(Run(SaverPlan(mode)), 0);
        ASSERT_EQ(host.requests.size(), 2u);
        EXPECT_EQ(host.requests[1].kind, SurfaceKind::kOutput);
        EXPECT_EQ(host.requests[1].output, 2u);
        const std::vector<std::string> drawn = Only({"MakeCurrent", "DrawSteps", "Present"});
        const std::vector<std::string> second =
            mode == MonitorMode::kEach
                ? std::vector<std::string>{"MakeCurrent 2", "DrawSteps 0", "Present 2"}
                : std::vector<std::string>{"MakeCurrent 2", "Present 2"};
        std::vector<std::string> expected{"MakeCurrent 1", "DrawSteps 1", "Present 1"};
        expected.insert(expected.end(), second.begin(), second.end());
        EXPECT_EQ(drawn, expected);
    }
}

// Outputs that come and go while a saver runs: once the changes settle, surfaces of outputs that
// went are closed, new outputs get theirs, the rest are put back over their outputs, and the
// city goes on without being set up again; with no output left the run waits for one.
TEST_F(ProgramTest, OutputsThatComeAndGo) {
    const Output second{2, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f};
    const Output third{3, HostRect{0, 1080, 800, 600}, false, 60, 1.0f};
    HostEvent changed;
    changed.kind = HostEventKind::kOutputsChanged;
    host.canSpan = false;
    host.tickStep = 100;
    host.outputs.push_back(second);
    host.Idle();
    host.Action([&] { host.outputs = {host.outputs[0], third}; }); // the second goes, a third comes
    host.Event(changed);
    host.Event(changed); // a burst: followed once
    host.Idle(4);
    host.Action([&] { host.outputs.clear(); });
    host.Event(changed);
    host.Idle(4);
    host.Action([&] { host.outputs = {third}; });
    host.Event(changed);
    host.Idle(4);
    host.Key('A', true);
    EXPECT_EQ(Run(SaverPlan(MonitorMode::kEach)), 0);
    EXPECT_EQ(Only({"Create", "Destroy", "Initialize"}),
              (std::vector<std::string>{"Create 1", "Create 2", "Initialize", "Destroy 2",
                                        "Create 3", "Destroy 1", "Destroy 3", "Create 4",
                                        "Initialize", "Destroy 4"}));
    EXPECT_EQ(host.Count("Error Error Creating OpenGL Window"), 0);
}

// In "primary" the city goes with the primary output: when the first output goes and another
// becomes primary, that one's surface draws the city instead of staying black.
TEST_F(ProgramTest, PrimaryCityFollowsThePrimaryOutput) {
    HostEvent changed;
    changed.kind = HostEventKind::kOutputsChanged;
    host.canSpan = false;
    host.tickStep = 100;
    host.outputs.push_back(Output{2, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f});
    host.Idle();
    host.Action([&] { host.outputs = {Output{2, HostRect{0, 0, 1280, 720}, true, 60, 1.0f}}; });
    host.Event(changed);
    host.Idle(4);
    host.Key('A', true);
    EXPECT_EQ(Run(SaverPlan(MonitorMode::kPrimary)), 0);
    // Steps follow the pace: only which surface is drawn into counts here.
    std::vector<std::string> drawn = Only({"DrawSteps", "Present"});
    for (std::string& entry : drawn) {
        entry = entry.compare(0, 9, "DrawSteps") == 0 ? "DrawSteps" : entry;
    }
    ASSERT_GE(drawn.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(drawn.begin(), drawn.begin() + 3),
              (std::vector<std::string>{"DrawSteps", "Present 1", "Present 2"}));
    EXPECT_EQ(std::vector<std::string>(drawn.end() - 2, drawn.end()),
              (std::vector<std::string>{"DrawSteps", "Present 2"}));
}

TEST_F(ProgramTest, ChildHostProblemIsNamed) {
    Options options;
    options.mode = RunMode::kSaverHost;
    options.hostWindow = 0x1ffffff0;
    host.hostProblem = "there is no such window to draw in";
    EXPECT_EQ(Run(PlanRun(options, SaverSettings())), 1);
    EXPECT_EQ(host.Count("Error window 0x1ffffff0: there is no such window to draw in"), 1);
    EXPECT_EQ(host.log.front(), "Start quiet");
}

} // namespace

// A wallpaper's background surfaces: one per output, or one across them in "span" where the
// system can; in "primary" the others stay black. None hides the pointer or holds the display
// awake.
TEST_F(ProgramTest, WallpaperSurfacesForEachMonitorMode) {
    const struct {
        const char* monitors;
        bool canSpan;
        std::vector<uint32_t> outputs; // of the requests, 0 across all
        std::vector<std::string> drawn;
    } cases[] = {
        {"each", true, {1, 2}, {"DrawSteps 1", "Present 1", "DrawSteps 0", "Present 2"}},
        {"primary", false, {1, 2}, {"DrawSteps 1", "Present 1", "Present 2"}},
        {"span", true, {0}, {"DrawSteps 1", "Present 1"}},
        {"span", false, {1, 2}, {"DrawSteps 1", "Present 1", "DrawSteps 0", "Present 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.monitors) + (c.canSpan ? "" : ", no span"));
        host = FakeHost();
        host.canSpan = c.canSpan;
        host.outputs.push_back(Output{2, HostRect{1920, 0, 1280, 720}, false, 60, 1.0f});
        host.Idle();
        HostEvent quit;
        quit.kind = HostEventKind::kQuitSignal;
        host.Event(quit);
        Options options;
        std::string error;
        ASSERT_TRUE(ParseOptions({"--wallpaper", "--monitors", c.monitors}, StartContext{},
                                 &options, &error))
            << error;
        EXPECT_EQ(Run(PlanRun(options, SaverSettings())), 0);
        std::vector<uint32_t> outputs;
        for (const SurfaceRequest& request : host.requests) {
            EXPECT_EQ(request.kind, SurfaceKind::kBackground);
            EXPECT_FALSE(request.hidesPointer || request.keepsDisplayAwake);
            outputs.push_back(request.output);
        }
        EXPECT_EQ(outputs, c.outputs);
        EXPECT_EQ(Only({"DrawSteps", "Present"}), c.drawn);
        EXPECT_TRUE(host.live.empty());
    }
}

// On battery a wallpaper pauses by default, slows to 10 frames a second, or runs as on mains;
// the power supply is read every 5 s, so back on mains frames resume within that.
TEST_F(ProgramTest, WallpaperOnBattery) {
    const struct {
        const char* policy;
        std::vector<std::string> seen;
    } cases[] = {
        // Nothing drawn until the supply, read again, says mains: then the city goes on.
        {"pause", {"Wait 5000", "Wait 5000", "Wait 5000", "DrawSteps 1", "Wait 33"}},
        // 100 ms a frame, 6 steps each, until the next reading.
        {"slow",
         {"DrawSteps 1", "Wait 100", "DrawSteps 6", "Wait 100", "DrawSteps 6", "Wait 100",
          "DrawSteps 6", "Wait 100"}},
        {"run",
         {"DrawSteps 1", "Wait 33", "DrawSteps 1", "Wait 33", "DrawSteps 2", "Wait 34",
          "DrawSteps 3", "Wait 33"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.policy);
        host = FakeHost();
        host.onBattery = true;
        host.Idle(2);
        host.Action([this] { host.onBattery = false; });
        host.Idle(2);
        HostEvent quit;
        quit.kind = HostEventKind::kQuitSignal;
        host.Event(quit);
        Options options;
        std::string error;
        ASSERT_TRUE(ParseOptions({"--wallpaper", "--on-battery", c.policy}, StartContext{},
                                 &options, &error))
            << error;
        EXPECT_EQ(Run(PlanRun(options, SaverSettings())), 0);
        EXPECT_EQ(Only({"DrawSteps", "Wait"}), c.seen);
    }
}
