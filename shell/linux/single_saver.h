// One full-screen saver per user and display, as the Windows saver's mutex keeps it: a second
// `--saver` (or `/s`) started while one runs would take the focus from the first, which ends on
// it, and then run in its place.
#pragma once

// Takes the saver's place for the rest of the process; false when another saver of this user
// on this display holds it. The place is a lock the system drops with the process that holds it,
// so a saver that died leaves nothing stale behind.
bool TakeSaverPlace();
