// Starting SDL's video with the user told plainly what went wrong: what SDL_VIDEODRIVER names,
// else the display, and nothing of the libraries' own chatter before it.
#pragma once

#include <string>

// SdlStartVideo; on failure the reason is already on stderr, `error` holding SDL's words.
bool StartVideoQuietly(std::string* error);
