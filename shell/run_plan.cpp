#include "shell/run_plan.h"

RunPlan PlanRun(const Options& options, const SaverSettings& settings) {
    RunPlan plan;
    plan.mode = options.mode;
    plan.width = options.width;
    plan.height = options.height;
    plan.desktopSize = options.desktopSize;
    plan.startsFullScreen = !options.windowed;
    plan.seedGiven = options.seedGiven;
    plan.seed = options.seed;
    plan.reportsRates = options.stats;

    const bool saver = options.mode != RunMode::kAnimation;
    const bool wallpaper = options.mode == RunMode::kWallpaper;
    plan.keepsDisplayAwake = !saver;
    switch (options.mode) {
    case RunMode::kAnimation:
        break;
    case RunMode::kSaverFullScreen:
        plan.placement = Placement::kEveryMonitor;
        plan.startsFullScreen = true;
        plan.endsOnInput = true;
        plan.monitors = options.monitorsGiven ? options.monitors : settings.monitors;
        break;
    case RunMode::kSaverPreview:
        plan.placement = Placement::kChild;
        plan.host = options.hostWindow;
        plan.hostMustBeOrdinary = true;
        plan.quiet = true;
        break;
    case RunMode::kSaverHost:
        plan.placement = Placement::kChild;
        plan.host = options.rootWindow ? 0 : options.hostWindow;
        plan.quiet = true;
        break;
    case RunMode::kWallpaper:
        // Below the windows all day: the keyboard, the pointer and the windows' close requests
        // are theirs, and only the ending signals end it.
        plan.placement = Placement::kBackground;
        plan.takesInput = false;
        plan.monitors = options.monitorsGiven ? options.monitors : kDefaultMonitorMode;
        plan.onBattery = options.onBattery;
        break;
    case RunMode::kSaverSettings:
        plan.placement = Placement::kNone;
        plan.host = options.hostWindow; // the dialog that asked, to own what is shown
        break;
    }
    if (plan.placement == Placement::kChild || plan.placement == Placement::kNone) {
        plan.startsFullScreen = false;
    }

    // The plain animation steps once per frame, as fast as frames come. A saver runs all night on
    // whatever machine it finds: at a steady pace, in step with the display, and never faster
    // than the display can show, so that neither the city's speed nor the power drawn follow the
    // hardware.
    // --pace is 1 or more when given.
    plan.stepsPerSecond = options.pace != 0 ? options.pace : saver ? settings.stepsPerSecond : 0;
    plan.swapInterval = options.vsync >= 0 ? options.vsync : saver ? 1 : -1;
    plan.maxFps = options.maxFps;
    plan.limitsToRefresh = saver && options.maxFps == 0;
    if (wallpaper) {
        // A background seen around the windows all day needs no more than 30 frames a second,
        // half of what a display shows, and so half the power. Its surfaces never wait for a
        // display refresh in a swap: one output that is covered or off would hold up the others.
        plan.swapInterval = options.vsync >= 0 ? options.vsync : 0;
        plan.maxFps = options.maxFps != 0 ? options.maxFps : kWallpaperMaxFps;
        plan.limitsToRefresh = false;
    }
    plan.showRates = options.showRates || (saver && settings.showRates);
    return plan;
}
