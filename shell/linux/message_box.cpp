// Message boxes on Linux that a quit signal can close, and the report of a request the X server
// refused.
#include "shell/linux/message_box.h"

#include "shell/linux/quit_watchdog.h"

#include <SDL.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A quit signal that arrived while a message box was up.
volatile sig_atomic_t g_boxSignal = 0;

// What each quit signal led to before the box took it, by signal number; a signal that was
// ignored then is left ignored, and not taken.
struct sigaction g_beforeBox[_NSIG] {};
bool g_takenByBox[_NSIG] = {};

void RecordBoxSignal(int number) {
    g_boxSignal = number;
}

void TakeForBox(int number) {
    struct sigaction present {};
    g_takenByBox[number] = false;
    if (sigaction(number, nullptr, &present) != 0 ||
        ((present.sa_flags & SA_SIGINFO) == 0 && present.sa_handler == SIG_IGN)) {
        return;
    }
    struct sigaction record {};
    record.sa_handler = RecordBoxSignal;
    sigemptyset(&record.sa_mask);
    record.sa_flags = 0;
    g_takenByBox[number] = sigaction(number, &record, &g_beforeBox[number]) == 0;
}

void GiveBackFromBox(int number) {
    if (g_takenByBox[number]) {
        sigaction(number, &g_beforeBox[number], nullptr);
    }
}

// In the box's process, which ends as any process does on a quit signal.
void DefaultInBoxProcess(int number) {
    if (g_takenByBox[number]) {
        signal(number, SIG_DFL);
    }
}

// In the box's process: ends it and every process it started.
void EndBoxProcessGroup(int) {
    kill(0, SIGKILL);
}

// SDL's box runs its own loop, deaf to every quit signal (SDL's handlers and the quit watchdog's
// only queue a quit event that nobody reads until the box is closed): a session manager or a
// screen-saver host asking the program to go would wait for a click that never comes, and the
// watchdog would end the program without its normal road, its exit code or the display mode given
// back. So the box is shown by a child process while this one waits, and any quit signal (the
// watchdog's whole list, not only SIGINT and SIGTERM) closes the box and is then handed on to the
// handler it would have reached, so that the program leaves by its normal road.
} // namespace

void ShowBoxUntilClosedOrSignalled(uint32_t flags, const char* caption, const char* text,
                                   SDL_Window* owner) {
    g_boxSignal = 0;
    ForEachQuitSignal(TakeForBox);

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child == 0) {
        // Its own process group, so that whatever the box starts (SDL draws it in a process of
        // its own) goes with it: a SIGTERM ends the whole group.
        setpgid(0, 0);
        ForEachQuitSignal(DefaultInBoxProcess);
        struct sigaction endGroup {};
        endGroup.sa_handler = EndBoxProcessGroup;
        sigemptyset(&endGroup.sa_mask);
        sigaction(SIGTERM, &endGroup, nullptr);
        // The box must not outlive the program, whatever ends it (SIGKILL, SIGHUP from a closed
        // terminal): the system sends the SIGTERM when the parent goes. A parent gone already
        // before that was asked for is seen in the parent's id.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(0);
        }
        SDL_ShowSimpleMessageBox(flags, caption, text, nullptr);
        _exit(0);
    }
    if (child < 0) {
        ForEachQuitSignal(GiveBackFromBox);
        SDL_ShowSimpleMessageBox(flags, caption, text, owner);
        return;
    }
    setpgid(child, child);
    // Polled rather than blocked on, so that a signal landing just before a wait is not missed.
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (g_boxSignal != 0) {
            kill(-child, SIGTERM);
            kill(child, SIGTERM);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        usleep(20000);
    }
    ForEachQuitSignal(GiveBackFromBox);
    if (g_boxSignal != 0) {
        raise(g_boxSignal);
    }
}

// Xlib's own handler for a refused request ends the process on the spot. Requests are refused
// where the system cannot give the program what it asks for: an OpenGL context when no usable
// OpenGL driver is installed (Mesa then falls back to indirect rendering, which the X server may
// forbid), a visual the screen does not have. SDL makes some of those requests without a handler
// of its own, so the program would vanish with Xlib's terse report instead of saying what failed
// and leaving through its normal road. This handler reports the refusal and lets the failing call
// return its failure, which the shell turns into its message box and exit code.
int ReportRefusedRequest(Display* display, XErrorEvent* event) {
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "zorvik: the X server refused a request (opcode %d.%d): %s\n",
                 event->request_code, event->minor_code, text);
    return 0;
}
