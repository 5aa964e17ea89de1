// What a run is to be, decided once from the command line, the stored saver settings and the
// defaults of each mode: where the city is drawn, what ends the run, its pace and frame rate,
// how several monitors are used, and what is reported. The shell's logic reads the plan instead
// of asking which mode it is in, so that a new mode is a new way of filling it in.
#pragma once

#include <cstdint>

#include "shell/options.h"
#include "shell/saver_settings.h"

enum class Placement {
    kScreen,       // the animation: full screen (a mode switch, or the desktop's mode) or a framed
                   // window, F1 switching between them
    kEveryMonitor, // a full-screen saver: a pop-up over every monitor at the desktop's own mode
    kChild,        // inside a host's window, filling it and following its size
    kBackground,   // the desktop's background: below every window on each output, or one surface
                   // across them where the monitors span and the system can
    kNone,         // no window at all: the settings
};

struct RunPlan {
    RunMode mode = RunMode::kAnimation;
    Placement placement = Placement::kScreen;
    // kScreen: the first window's mode, and its size (or the desktop's own, without a switch).
    bool startsFullScreen = true;
    bool desktopSize = false;
    int32_t width = 1280;
    int32_t height = 720;
    // kChild: the host's window, or the desktop (the root window) when none is named.
    uintptr_t host = 0;
    // A preview's host must be an ordinary window on the desktop, not the desktop itself.
    bool hostMustBeOrdinary = false;

    bool endsOnInput = false; // any key, click, move of the pointer or loss of activation
    bool takesInput = true;   // keys and close requests reach the program at all
    bool quiet = false;       // failures on stderr only: nobody is there to click a box away
    // The screen saver and the display's power-down held off: the plain animation's alone. A
    // screen saver lets the screen blank, power off and lock on the system's schedule.
    bool keepsDisplayAwake = true;
    MonitorMode monitors = kDefaultMonitorMode;
    BatteryPolicy onBattery = BatteryPolicy::kRun;

    uint32_t stepsPerSecond = 0;  // 0: one step per frame
    int32_t swapInterval = -1;    // display refreshes per buffer swap; -1 the driver's default
    uint32_t maxFps = 0;          // 0: no limit
    bool limitsToRefresh = false; // at most a frame per display refresh, if the driver lets more by
    bool showRates = false;       // frames and steps per second on the screen
    bool reportsRates = false;    // ... and on stderr
    bool seedGiven = false;
    uint32_t seed = 0;
};

// A wallpaper's frames per second unless --max-fps says otherwise.
constexpr uint32_t kWallpaperMaxFps = 30;
// ... and on battery with --on-battery slow.
constexpr uint32_t kSlowOnBatteryFps = 10;

RunPlan PlanRun(const Options& options, const SaverSettings& settings);
