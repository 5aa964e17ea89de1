// What an interrupted capture leaves behind: nothing. Every signal that would end the program by
// default (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGXCPU, the real-time signals and
// the rest) is taken by a thread of its own, which ends the encoder process, removes every
// unfinished temporary file, and then ends the program by the same signal, so that its parent
// sees how it ended (a shell reports 130 after SIGINT, 143 after SIGTERM, 131 after SIGQUIT).
#pragma once

#include <mutex>
#include <string>
#include <sys/types.h>

// Blocks those signals in the calling thread, and so in every thread it starts later (the
// OpenGL driver's among them), and starts the thread that waits for them. Call it first in main.
void StartInterruptCleanup();

// Holds the cleanup off while the caller creates, renames or removes a temporary file, or starts
// or reaps the encoder, and changes the lists below to match: an interruption then finds each
// such step either not begun or complete. Hold it only for such short steps.
std::unique_lock<std::mutex> HoldInterruptCleanup();

// The lists the cleanup works through; change them only while holding the cleanup off.
void TrackTemporaryFile(const std::string& path);
void ForgetTemporaryFile(const std::string& path);
void TrackChildProcess(pid_t pid);
void ForgetChildProcess(pid_t pid);

// Undoes StartInterruptCleanup's blocking for a child process about to run another program.
// Safe between fork and exec.
void UnblockInterruptSignals();
