// The Windows entry point: reads the command line, then runs the program. A program without a
// console has nowhere to print, so help and errors are message boxes.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/options.h"
#include "shell/program.h"
#include "shell/win32/win32_host.h"

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    // The runtime has already split the command line by the system's quoting rules.
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) {
        args.emplace_back(__argv[i]);
    }
    StartContext context;
    context.screenSaverName = __argc > 0 && IsScreenSaverName(__argv[0]);

    Options options;
    std::string error;
    if (!ParseOptions(args, context, &options, &error)) {
        // A preview has nobody in front of it to click a box away, even when its arguments are
        // bad: the settings dialog would be left behind a box it did not ask for.
        if (options.mode != RunMode::kSaverPreview) {
            MessageBoxA(nullptr, error.c_str(), "Error", MB_OK | MB_ICONEXCLAMATION);
        }
        return kExitUsage;
    }
    if (options.help) {
        MessageBoxA(nullptr, kUsage, "zorvik", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (options.version) {
        MessageBoxA(nullptr, VersionText().c_str(), "zorvik", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (options.mode == RunMode::kWallpaper) {
        // Windows' own background is a picture; a living one is the web page's, shown by the
        // programs that put web pages behind the desktop's icons.
        MessageBoxA(nullptr,
                    "--wallpaper is for Linux desktops (X11, or Wayland with the layer shell).",
                    "Error", MB_OK | MB_ICONEXCLAMATION);
        return kExitNoBackground;
    }
    if (options.mode == RunMode::kSaverFullScreen) {
        // One saver at a time: Windows may start another while one runs. The mutex goes with the
        // process.
        CreateMutexA(nullptr, FALSE, "Local\\zorvik screen saver");
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            return 0;
        }
    }
    Win32Host host(reinterpret_cast<InstanceHandle>(hInstance));
    return RunZorvik(host, options);
}
