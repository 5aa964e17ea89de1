#include "shell/linux/startup_messages.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "shell/linux/sdl_host.h"

namespace {

bool Set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// SDL's video drivers built in, as SDL_VIDEODRIVER takes them: "x11, wayland, ...".
std::string DriverNames() {
    std::string names;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        names += std::string(i == 0 ? "" : ", ") + SDL_GetVideoDriver(i);
    }
    return names;
}

void Explain(const std::string& error) {
    if (Set("SDL_VIDEODRIVER")) {
        std::fprintf(stderr,
                     "zorvik: SDL_VIDEODRIVER=%s names no video driver that works here (%s).\n"
                     "Unset SDL_VIDEODRIVER, or set it to one of: %s.\n",
                     std::getenv("SDL_VIDEODRIVER"), error.c_str(), DriverNames().c_str());
    } else if (Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "zorvik: cannot open the display '%s' (%s).\n", std::getenv("DISPLAY"),
                     error.c_str());
    } else if (Set("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "zorvik: cannot open the Wayland display '%s'%s%s%s (%s).\n",
                     std::getenv("WAYLAND_DISPLAY"), Set("DISPLAY") ? " nor the X display '" : "",
                     Set("DISPLAY") ? std::getenv("DISPLAY") : "", Set("DISPLAY") ? "'" : "",
                     error.c_str());
    } else {
        std::fprintf(stderr,
                     "zorvik: cannot open a display (%s).\n"
                     "zorvik draws into a window and needs a graphical session: run it on a "
                     "desktop, or set DISPLAY.\n",
                     error.c_str());
    }
}

} // namespace

bool StartVideoQuietly(std::string* error) {
    // What the libraries write while SDL probes its drivers (Wayland's "error: XDG_RUNTIME_DIR
    // is invalid...", a driver's warnings) is held back in a file, and comes after our own
    // message on failure: a user reads first what the program says. Where no file can be had,
    // it goes straight through.
    std::fflush(stderr);
    std::FILE* held = std::tmpfile();
    const int saved = held != nullptr ? dup(STDERR_FILENO) : -1;
    if (saved >= 0 && dup2(fileno(held), STDERR_FILENO) < 0) {
        close(saved);
        std::fclose(held);
        held = nullptr;
    }
    const bool started = SdlStartVideo(error);
    if (held != nullptr && saved >= 0) {
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
    }
    if (!started) {
        Explain(*error);
    }
    if (held != nullptr) {
        std::rewind(held);
        char buffer[4096];
        size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, held)) > 0) {
            std::fwrite(buffer, 1, read, stderr);
        }
        std::fclose(held);
    }
    return started;
}
