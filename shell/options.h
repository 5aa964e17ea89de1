// The program's command line, on every platform: the animation's own options, and the arguments
// that screen-saver hosts pass (Windows' /s, /p, /c; xscreensaver's --root and --window-id).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the program is asked to be. A plain start is kAnimation: full screen at 1280 x 720 with a
// display-mode switch, Esc and F1, exactly the animation of old.
enum class RunMode {
    kAnimation,
    kSaverFullScreen, // Windows /s, Linux --saver: every monitor, ends on any input
    kSaverPreview,    // Windows /p HWND: a child of the host's preview window
    kSaverSettings,   // Windows /c[:HWND]: the settings box
    kSaverHost,       // xscreensaver: --root, --window-id ID or $XSCREENSAVER_WINDOW
    kWallpaper,       // --wallpaper: the desktop's background on every output, all day
};

// How a full-screen saver uses several monitors: each shows the city whole at its own shape, one
// view is stretched over all of them, or only the primary one shows it and the others are black.
enum class MonitorMode { kEach, kSpan, kPrimary };

// Every way of using several monitors, in the order the settings dialog lists them: the word
// --monitors takes, the number the Windows saver stores, and the dialog's label.
struct MonitorModeEntry {
    MonitorMode mode;
    const char* word;
    uint32_t stored;
    const char* label;
};
constexpr MonitorModeEntry kMonitorModes[] = {
    {MonitorMode::kEach, "each", 0, "Each monitor shows the city"},
    {MonitorMode::kSpan, "span", 1, "One view across all monitors"},
    {MonitorMode::kPrimary, "primary", 2, "Primary monitor only"},
};
// One view stretched over monitors of different places and shapes puts the centre of the picture
// on a seam, so by default each monitor shows the city whole.
constexpr MonitorMode kDefaultMonitorMode = MonitorMode::kEach;
const MonitorModeEntry& MonitorModeEntryOf(MonitorMode mode);

// What a wallpaper does while the machine runs on battery: stops (the default), draws 10 frames a
// second, or carries on as on mains.
enum class BatteryPolicy { kPause, kSlow, kRun };

struct Options {
    RunMode mode = RunMode::kAnimation;
    uintptr_t hostWindow = 0; // /p, /c:HWND, --window-id; 0 with --root (the root window)
    bool rootWindow = false;  // --root

    bool windowed = false; // --window: start in a window instead of full screen
    int32_t width = 1280;  // --size: the window's client area and the full-screen mode
    int32_t height = 720;
    bool desktopSize = false; // --size desktop: full screen at the desktop's own mode
    bool seedGiven = false;   // --seed: the random source's seed instead of the clock
    uint32_t seed = 0;
    uint32_t pace = 0;          // --pace: steps per second of wall-clock time; 0 one step per frame
    int32_t vsync = -1;         // --vsync: 1 on, 0 off, -1 the driver's default
    uint32_t maxFps = 0;        // --max-fps: at most this many frames per second; 0 no limit
    bool showRates = false;     // --fps: frames and steps per second on the screen
    bool stats = false;         // --stats: a line of rates on stderr every few seconds
    bool monitorsGiven = false; // --monitors each|span|primary: a full-screen saver, a wallpaper
    MonitorMode monitors = kDefaultMonitorMode;
    bool onBatteryGiven = false; // --on-battery pause|slow|run, for a wallpaper
    BatteryPolicy onBattery = BatteryPolicy::kPause;
    bool help = false;
    bool version = false;
};

// How the program was started, beyond its arguments.
struct StartContext {
    // Started under a screen saver's file name (zorvik.scr): no argument then means /c, as
    // Windows runs a saver's settings that way.
    bool screenSaverName = false;
    // xscreensaver's $XSCREENSAVER_WINDOW, or null.
    const char* xscreensaverWindow = nullptr;
};

// Parses the arguments (without the program name). False with a one-line reason in `error` when
// they are unusable; the program then ends with exit code 2.
bool ParseOptions(const std::vector<std::string>& args, const StartContext& context,
                  Options* options, std::string* error);

// Whether a program path names a screen saver file (ends in ".scr", any letter case).
bool IsScreenSaverName(const std::string& programPath);

// The --help text, and the --version line.
extern const char kUsage[];
std::string VersionText();

// The exit code of a command line that cannot be used.
constexpr int kExitUsage = 2;
// The exit code of --wallpaper where the desktop has no way to put a surface below the windows
// (a Wayland compositor without the layer shell, such as GNOME's).
constexpr int kExitNoBackground = 3;
