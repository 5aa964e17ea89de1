// The Linux entry point: connects to the display, then runs the program's own entry point.
#include <cstdio>
#include <string>

#include "shell/main_loop.h"
#include "shell/platform_constants.h"
#include "shell/platform_sdl.h"

int main(int, char**) {
    std::string error;
    if (!SdlStartVideo(&error)) {
        std::fprintf(stderr,
                     "zorvik: cannot open a display (%s).\n"
                     "zorvik draws into a window and needs a graphical session: run it on a "
                     "desktop, or set DISPLAY.\n",
                     error.c_str());
        return 1;
    }
    char commandLine[] = "";
    const int result = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
    SdlStopVideo();
    return result;
}
