// The Linux host: SDL2 for the program's own surfaces (X11 and Wayland), keys, the pointer and the
// display mode; Xlib and GLX for a child inside another program's window (a saver host's), which
// SDL cannot be trusted with.
#pragma once

#include <memory>
#include <string>

#include "shell/host.h"

// Connects to the display. On failure returns false with the reason in `error`.
bool SdlStartVideo(std::string* error);
// Disconnects, putting back anything SDL changed (display mode, screen saver).
void SdlStopVideo();

std::unique_ptr<Host> MakeLinuxHost();
