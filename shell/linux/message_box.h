// Message boxes on Linux, and the report of a request the X server refused.
#pragma once

#include <SDL.h>
#include <X11/Xlib.h>
#include <cstdint>

// A modal box (SDL_MESSAGEBOX_* flags) shown by a child process, so that a quit signal can close
// it: the signal is then handed on to the handler it would have reached, and the program leaves
// by its normal road.
void ShowBoxUntilClosedOrSignalled(uint32_t flags, const char* caption, const char* text,
                                   SDL_Window* owner);

// Xlib's error handler for the program: reports a refused request on stderr and lets the failing
// call return its failure, instead of Xlib's ending the process on the spot.
int ReportRefusedRequest(Display* display, XErrorEvent* event);
