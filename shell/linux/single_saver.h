// One full-screen saver per user and display, as the Windows saver's mutex keeps it: a second
// `--saver` (or `/s`) started while one runs would take the focus from the first, which ends on
// it, and then run in its place.
#pragma once

#include <string>

// The display a run really uses, in one spelling for all the ways to name it: `driver` is SDL's
// video driver in use ("x11", "wayland"), the others the environment's DISPLAY, WAYLAND_DISPLAY
// and XDG_RUNTIME_DIR (null where unset). X's ":0", ":0.0", "unix:0" and "unix/:0" are all
// ":0"; a Wayland socket given by its path in the runtime folder is its plain name.
std::string SaverDisplayName(const char* driver, const char* x11Display, const char* waylandDisplay,
                             const char* runtimeFolder);

// Takes the saver's place on `display` for the rest of the process; false when another saver of
// this user holds it. The place is a lock the system drops with the process that holds it, so a
// saver that died leaves nothing stale behind.
bool TakeSaverPlace(const std::string& display);
