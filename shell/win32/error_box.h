// How the shell reports a failure to the user.
#pragma once

#include "common/gl_window.h"

// The modal box titled "Error", with an OK button and the exclamation icon and no owner window;
// for a quiet run (a screen-saver preview or host, where nobody could click it away) a line on
// stderr instead.
void ShowErrorBox(const Application* application, const char* text);
