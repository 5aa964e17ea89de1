// Starting and stopping the SDL platform, for the Linux entry point.
#pragma once

#include <string>

// Connects to the display. On failure returns false with SDL's reason in `error`.
bool SdlStartVideo(std::string* error);
// Disconnects, putting back anything SDL changed (display mode, screen saver).
void SdlStopVideo();
