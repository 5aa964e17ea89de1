// The quit signals' road. SIGINT and SIGTERM end the program by the road a close request takes,
// after the frame in progress, and so does every other signal whose default action would end it
// from outside (a closed terminal's SIGHUP, SIGUSR1, SIGALRM, a resource limit...): ended by its
// default instead, the program would leave the display at the mode it switched to. A signal that
// was ignored when the program started (nohup, a script's background job) stays ignored.
//
// The last resort of a quit signal: in software rendering one frame of a very large window can
// take minutes, all of it inside the driver, where nothing can be cut short; a session manager or
// a saver host asking the program to go would wait for all of it. A thread beside the program
// therefore ends it when the normal road has not done so within a grace time after a quit signal
// it took, unless the display mode is switched: that must be given back, and only the normal road
// can, so the program then waits for its frame (which, at a mode the monitor shows, is short).
#pragma once

#include <cstdint>

// Starts the watching thread and puts a handler in front of the quit signals' present ones,
// which still run after it. Call once, after SDL's video has started and installed its own.
void StartQuitWatchdog(uint32_t graceMilliseconds);

// Calls `visit` with every quit signal: the ending signals listed above and the real-time ones.
void ForEachQuitSignal(void (*visit)(int signal));

// Whether the display mode is switched now; while it is, the watchdog never ends the program.
void SetQuitWatchdogDisplaySwitched(bool switched);

// From here on a quit signal is no longer passed to SDL as a quit event: SDL is about to stop.
void StopQuitForwarding();
