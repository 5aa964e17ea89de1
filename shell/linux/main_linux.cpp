// The Linux entry point: reads the command line, connects to the display, then runs the program.
#include <SDL.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/standard_descriptors.h"
#include "shell/linux/quit_watchdog.h"
#include "shell/linux/sdl_host.h"
#include "shell/linux/single_saver.h"
#include "shell/linux/startup_messages.h"
#include "shell/options.h"
#include "shell/program.h"
#include "shell/wayland/layer_host.h"

int main(int argc, char** argv) {
    // Before anything is opened: a closed stderr would otherwise become the display connection,
    // and a line of --stats written into it would stall the program inside Xlib for good.
    unsigned closed = 0;
    ReopenClosedStandardDescriptors(&closed);
    // A reader of stderr that has gone (--stats into a closed pipe) must not end the run, which
    // would skip giving back the display mode: a failed write is simply lost.
    std::signal(SIGPIPE, SIG_IGN);
    Options options;
    std::string error;
    StartContext context;
    context.xscreensaverWindow = std::getenv("XSCREENSAVER_WINDOW");
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), context, &options, &error)) {
        std::fprintf(stderr, "zorvik: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }
    // A wallpaper on a Wayland desktop needs the layer shell, which SDL cannot reach: its own
    // host, without SDL. Where an X server is named too (Xwayland, a nested X desktop), X11's
    // desktop windows serve, as SDL 2.26 picks X11 first everywhere else.
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    if (options.mode == RunMode::kWallpaper && wayland != nullptr && *wayland != '\0' &&
        (x11 == nullptr || *x11 == '\0')) {
        const std::unique_ptr<Host> host = MakeLayerShellHost();
        return RunZorvik(*host, options);
    }
    if (!StartVideoQuietly(&error)) {
        return 1;
    }
    // Like the Windows saver: a second one while one runs ends at once, and the first goes on.
    // The place is named after the display that SDL's driver opened, which the environment alone
    // does not tell (SDL 2.26 takes X11 wherever DISPLAY is set, WAYLAND_DISPLAY or not).
    if (options.mode == RunMode::kSaverFullScreen &&
        !TakeSaverPlace(SaverDisplayName(SDL_GetCurrentVideoDriver(), std::getenv("DISPLAY"),
                                         std::getenv("WAYLAND_DISPLAY"),
                                         std::getenv("XDG_RUNTIME_DIR")))) {
        StopQuitForwarding();
        SdlStopVideo();
        return 0;
    }
    int result = 0;
    {
        const std::unique_ptr<Host> host = MakeLinuxHost();
        result = RunZorvik(*host, options);
    }
    StopQuitForwarding();
    SdlStopVideo();
    return result;
}
