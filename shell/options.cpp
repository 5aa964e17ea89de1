// The command line. Windows passes a saver its arguments as /s, /p HWND, /p:HWND, /c or /c:HWND
// (any letter case, '-' for '/'); xscreensaver passes --root or --window-id, or sets
// $XSCREENSAVER_WINDOW. The animation's own options are GNU-style long options.
#include "shell/options.h"

#include "common/long_option.h"
#include "common/whole_number.h"

#include <cctype>
#include <cstdlib>

namespace {

constexpr int32_t kMaxSide = 16384;
// The largest window handle each system can have: Windows keeps 32 significant bits even in a
// 64-bit program, and an X resource id has 29. A larger number would be cut down to some other
// window, the root itself for 0x10000050d on X.
constexpr uint64_t kMaxWindowsHandle = 0xFFFFFFFFu;
constexpr uint64_t kMaxXWindowId = 0x1FFFFFFFu;
constexpr uint32_t kMaxRate = 1000;

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// A window id: decimal, or hexadecimal after 0x, as X11 tools print them. Never 0, never above
// `max`.
bool ParseWindowId(const std::string& text, uint64_t max, uintptr_t* id) {
    uint64_t value = 0;
    const std::string lower = Lower(text);
    if (lower.size() > 2 && lower.compare(0, 2, "0x") == 0) {
        if (lower.size() > 18) {
            return false;
        }
        for (size_t i = 2; i < lower.size(); ++i) {
            const char c = lower[i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + static_cast<uint64_t>(digit);
        }
    } else if (!ParseWholeNumber(text, 0, UINTPTR_MAX, &value)) {
        return false;
    }
    if (value == 0 || value > max || value > UINTPTR_MAX) {
        return false;
    }
    *id = static_cast<uintptr_t>(value);
    return true;
}

std::string Trim(const char* text) {
    std::string trimmed = text != nullptr ? text : "";
    const size_t first = trimmed.find_first_not_of(" \t\n");
    if (first == std::string::npos) {
        return std::string();
    }
    trimmed.erase(0, first);
    trimmed.erase(trimmed.find_last_not_of(" \t\n") + 1);
    return trimmed;
}

bool ParseSize(const std::string& text, Options* options) {
    if (Lower(text) == "desktop") {
        options->desktopSize = true;
        return true;
    }
    const size_t x = Lower(text).find('x');
    uint64_t width = 0, height = 0;
    if (x == std::string::npos || !ParseWholeNumber(text.substr(0, x), 1, kMaxSide, &width) ||
        !ParseWholeNumber(text.substr(x + 1), 1, kMaxSide, &height)) {
        return false;
    }
    options->desktopSize = false;
    options->width = static_cast<int32_t>(width);
    options->height = static_cast<int32_t>(height);
    return true;
}

bool SetMode(Options* options, RunMode mode, const std::string& argument, std::string* error) {
    if (options->mode != RunMode::kAnimation) {
        *error = "'" + argument + "': only one screen-saver mode can be given";
        return false;
    }
    options->mode = mode;
    return true;
}

// A Windows screen-saver argument: /s, /p HWND, /p:HWND, /c, /c:HWND. `next` is the argument after
// it, consumed when it is the handle.
bool ParseSaverArgument(const std::string& argument, const std::string* next, bool* usedNext,
                        Options* options, std::string* error) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(argument[1])));
    std::string handle;
    if (argument.size() > 2) {
        if (argument[2] != ':' && argument[2] != ' ') {
            *error = "unknown argument '" + argument + "' (see --help)";
            return false;
        }
        handle = argument.substr(3);
    }
    switch (letter) {
    case 's':
        if (argument.size() != 2) {
            *error = "'/s' takes no window handle";
            return false;
        }
        return SetMode(options, RunMode::kSaverFullScreen, argument, error);
    case 'c':
        if (!SetMode(options, RunMode::kSaverSettings, argument, error)) {
            return false;
        }
        // A settings box without a parent is fine; a bad handle is not.
        if (argument.size() > 2 &&
            !ParseWindowId(handle, kMaxWindowsHandle, &options->hostWindow)) {
            *error = "'" + argument + "': not a window handle";
            return false;
        }
        return true;
    case 'p':
        if (!SetMode(options, RunMode::kSaverPreview, argument, error)) {
            return false;
        }
        if (argument.size() == 2) {
            if (next == nullptr) {
                *error = "'" + argument + "' needs the preview window's handle";
                return false;
            }
            handle = *next;
            *usedNext = true;
        }
        if (!ParseWindowId(handle, kMaxWindowsHandle, &options->hostWindow)) {
            *error = "'" + argument + "': '" + handle + "' is not a window handle";
            return false;
        }
        return true;
    default:
        *error = "unknown argument '" + argument + "' (see --help)";
        return false;
    }
}

bool IsSaverArgument(const std::string& argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-') || argument[1] == '-') {
        return false;
    }
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(argument[1])));
    return (letter == 's' || letter == 'p' || letter == 'c') &&
           (argument.size() == 2 || argument[2] == ':' || argument[2] == ' ');
}

bool ParseRate(const std::string& name, const std::string& value, uint32_t* rate,
               std::string* error) {
    uint64_t number = 0;
    if (!ParseWholeNumber(value, 1, kMaxRate, &number)) {
        *error = name + " needs " + DescribeWholeNumberRange(1, kMaxRate) + ", not '" + value + "'";
        return false;
    }
    *rate = static_cast<uint32_t>(number);
    return true;
}

} // namespace

const char kUsage[] =
    "Usage: zorvik [options]\n"
    "An endless abstract night city, animated until Esc is pressed.\n"
    "Keys: Esc quits, F1 switches between full screen and a window.\n"
    "\n"
    "  --window          start in a window instead of full screen\n"
    "  --size WxH        window size and full-screen mode (default 1280x720)\n"
    "  --size desktop    full screen at the desktop's own resolution, no mode switch\n"
    "  --seed N          the city's course from seed N (0..4294967295) instead of the clock;\n"
    "                    the same frames as zorvik-capture --seed N\n"
    "  --pace N          N steps of the animation per second (1..1000), whatever the frame\n"
    "                    rate; without it the city steps once per frame\n"
    "  --vsync on|off    ask for, or against, waiting for the display's refresh\n"
    "  --max-fps N       at most N frames per second (1..1000)\n"
    "  --fps             show the frame and step rates on the screen\n"
    "  --stats           every few seconds a line of frame and step rates on stderr\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "\n"
    "As a screen saver (60 steps/s, in step with the display, unless told otherwise):\n"
    "  --saver, /s       full screen over every monitor until any input\n"
    "  --monitors M      with --saver: 'each' monitor shows the city whole (the default),\n"
    "                    one view 'span's them all (on Wayland each output still has its\n"
    "                    own), or only the 'primary' one shows it\n"
    "  /p HWND           the preview inside the given window\n"
    "  /c[:HWND]         the settings dialog: speed, monitors, frame rate, stored for\n"
    "                    /s and /p under HKEY_CURRENT_USER\\Software\\zorvik\n"
    "  --root            xscreensaver: draw into the root window\n"
    "  --window-id ID    xscreensaver: draw into the X window ID (decimal or 0x hex);\n"
    "                    also taken from $XSCREENSAVER_WINDOW\n"
    "\n"
    "As the desktop's background (60 steps/s, at most 30 frames/s, unless told otherwise):\n"
    "  --wallpaper       below every window on every output, taking no input, until SIGTERM\n"
    "                    or SIGINT (exit code 0); --monitors as for --saver. On Wayland it\n"
    "                    needs a compositor with the layer shell (sway, Hyprland, KDE): start\n"
    "                    it from sway's config with 'exec zorvik --wallpaper', or with\n"
    "                    'systemctl --user start zorvik-wallpaper'\n"
    "  --on-battery P    with --wallpaper, while on battery: 'pause' (the default), 'slow'\n"
    "                    (10 frames/s) or 'run' as on mains\n"
    "\n"
    "Exit codes: 0 quit (Esc, the close box, Alt+F4, SIGINT, SIGTERM), 1 no display, window or\n"
    "OpenGL context, 2 a bad option or value, 3 --wallpaper on a Wayland compositor without\n"
    "the layer shell, 255 the window class cannot be registered.\n";

std::string VersionText() {
    return std::string("zorvik ") + ZORVIK_VERSION + "\n";
}

bool IsScreenSaverName(const std::string& programPath) {
    const std::string lower = Lower(programPath);
    return lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".scr") == 0;
}

bool ParseOptions(const std::vector<std::string>& args, const StartContext& context,
                  Options* options, std::string* error) {
    *options = Options{};
    bool placementGiven = false; // --window or --size, which a saver's host decides instead
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const std::string* next = i + 1 < args.size() ? &args[i + 1] : nullptr;
        if (IsSaverArgument(argument)) {
            bool usedNext = false;
            if (!ParseSaverArgument(argument, next, &usedNext, options, error)) {
                return false;
            }
            i += usedNext ? 1 : 0;
            continue;
        }
        // --name=value is the same as --name value.
        const LongOption option = SplitLongOption(argument);
        const std::string& name = option.name;
        const std::string& inlineValue = option.inlineValue;
        const bool hasInlineValue = option.hasInlineValue;
        auto takeValue = [&](std::string* value) {
            if (hasInlineValue) {
                *value = inlineValue;
                return true;
            }
            if (next == nullptr) {
                *error = name + " needs a value (see --help)";
                return false;
            }
            *value = *next;
            ++i;
            return true;
        };
        auto noValue = [&]() {
            if (hasInlineValue) {
                *error = name + " takes no value";
                return false;
            }
            return true;
        };
        std::string value;
        if (name == "--help" || name == "-h") {
            if (!noValue()) {
                return false;
            }
            options->help = true;
        } else if (name == "--version") {
            if (!noValue()) {
                return false;
            }
            options->version = true;
        } else if (name == "--window") {
            if (!noValue()) {
                return false;
            }
            options->windowed = true;
            placementGiven = true;
        } else if (name == "--size") {
            if (!takeValue(&value)) {
                return false;
            }
            if (!ParseSize(value, options)) {
                *error = "--size needs WIDTHxHEIGHT (1 to " + std::to_string(kMaxSide) +
                         " each) or 'desktop', not '" + value + "'";
                return false;
            }
            placementGiven = true;
        } else if (name == "--seed") {
            uint64_t seed = 0;
            if (!takeValue(&value)) {
                return false;
            }
            if (!ParseWholeNumber(value, 0, UINT32_MAX, &seed)) {
                *error = "--seed needs " + DescribeWholeNumberRange(0, UINT32_MAX) + ", not '" +
                         value + "'";
                return false;
            }
            options->seedGiven = true;
            options->seed = static_cast<uint32_t>(seed);
        } else if (name == "--pace") {
            if (!takeValue(&value) || !ParseRate(name, value, &options->pace, error)) {
                return false;
            }
        } else if (name == "--max-fps") {
            if (!takeValue(&value) || !ParseRate(name, value, &options->maxFps, error)) {
                return false;
            }
        } else if (name == "--fps") {
            // xscreensaver's own meaning in every GL hack: show the frame rate. The cap that
            // once had this name is --max-fps.
            if (hasInlineValue) {
                *error = "--fps takes no value: it shows the frame rate (a cap is --max-fps N)";
                return false;
            }
            options->showRates = true;
        } else if (name == "--monitors") {
            if (!takeValue(&value)) {
                return false;
            }
            const std::string lower = Lower(value);
            const MonitorModeEntry* named = nullptr;
            for (const MonitorModeEntry& entry : kMonitorModes) {
                named = lower == entry.word ? &entry : named;
            }
            if (named == nullptr) {
                *error = "--monitors needs 'each', 'span' or 'primary', not '" + value + "'";
                return false;
            }
            options->monitors = named->mode;
            options->monitorsGiven = true;
        } else if (name == "--saver") {
            if (!noValue() || !SetMode(options, RunMode::kSaverFullScreen, argument, error)) {
                return false;
            }
        } else if (name == "--on-battery") {
            if (!takeValue(&value)) {
                return false;
            }
            const std::string lower = Lower(value);
            if (lower != "pause" && lower != "slow" && lower != "run") {
                *error = "--on-battery needs 'pause', 'slow' or 'run', not '" + value + "'";
                return false;
            }
            options->onBattery = lower == "pause"  ? BatteryPolicy::kPause
                                 : lower == "slow" ? BatteryPolicy::kSlow
                                                   : BatteryPolicy::kRun;
            options->onBatteryGiven = true;
        } else if (name == "--wallpaper") {
            if (!noValue() || !SetMode(options, RunMode::kWallpaper, argument, error)) {
                return false;
            }
        } else if (name == "--vsync") {
            if (!takeValue(&value)) {
                return false;
            }
            const std::string lower = Lower(value);
            if (lower != "on" && lower != "off") {
                *error = "--vsync needs 'on' or 'off', not '" + value + "'";
                return false;
            }
            options->vsync = lower == "on" ? 1 : 0;
        } else if (name == "--stats") {
            if (!noValue()) {
                return false;
            }
            options->stats = true;
        } else if (name == "--root") {
            if (!noValue() || !SetMode(options, RunMode::kSaverHost, argument, error)) {
                return false;
            }
            options->rootWindow = true;
        } else if (name == "--window-id") {
            if (!takeValue(&value) || !SetMode(options, RunMode::kSaverHost, argument, error)) {
                return false;
            }
            if (!ParseWindowId(value, kMaxXWindowId, &options->hostWindow)) {
                *error = "--window-id needs an X window id (decimal or 0x hex, 1 to 0x1fffffff), "
                         "not '" +
                         value + "'";
                return false;
            }
        } else {
            *error = "unknown option '" + argument + "' (see --help)";
            return false;
        }
    }

    if (options->help || options->version) {
        return true;
    }
    // xscreensaver names its window in the environment, for hacks started without an argument for
    // it and for those started with --root, which means "the window the saver shows" there, as
    // for xscreensaver's own hacks. A value of blanks alone names nothing and is let be.
    const std::string environment = Trim(context.xscreensaverWindow);
    const bool takesEnvironment = options->mode == RunMode::kAnimation || options->rootWindow;
    bool fromEnvironment = false;
    if (takesEnvironment && !environment.empty()) {
        if (!ParseWindowId(environment, kMaxXWindowId, &options->hostWindow)) {
            *error = "XSCREENSAVER_WINDOW is not an X window id (decimal or 0x hex, 1 to "
                     "0x1fffffff): '" +
                     environment + "'";
            return false;
        }
        options->mode = RunMode::kSaverHost;
        options->rootWindow = false;
        fromEnvironment = true;
    }
    if (options->monitorsGiven && options->mode != RunMode::kSaverFullScreen &&
        options->mode != RunMode::kWallpaper) {
        *error = "--monitors is for the full-screen saver (--saver or /s) and --wallpaper";
        return false;
    }
    if (options->onBatteryGiven && options->mode != RunMode::kWallpaper) {
        *error = "--on-battery is for --wallpaper";
        return false;
    }
    // Windows runs a saver's file without arguments to show its settings.
    if (options->mode == RunMode::kAnimation && context.screenSaverName && args.empty()) {
        options->mode = RunMode::kSaverSettings;
    }
    if (options->mode != RunMode::kAnimation && placementGiven) {
        *error = "--window and --size cannot be used with a screen-saver mode: the host decides "
                 "where the city is drawn";
        if (fromEnvironment) {
            *error += " (XSCREENSAVER_WINDOW is set, which makes zorvik draw in that window)";
        }
        return false;
    }
    return true;
}

const MonitorModeEntry& MonitorModeEntryOf(MonitorMode mode) {
    for (const MonitorModeEntry& entry : kMonitorModes) {
        if (entry.mode == mode) {
            return entry;
        }
    }
    return kMonitorModes[0];
}
