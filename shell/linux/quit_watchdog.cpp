#include "shell/linux/quit_watchdog.h"

#include <SDL.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

int g_wakeUp[2] = {-1, -1}; // the signal handler writes, the thread reads
std::atomic<bool> g_displaySwitched{false};
// Held while a quit event is handed to SDL, which must not stop meanwhile.
std::mutex g_forwarding;
bool g_forwardingStopped = false;

// Every signal that ends the process by default and comes from outside (kill, a terminal, a
// timer, a resource limit), besides the real-time ones. Left out: SIGPIPE, which the program
// ignores so that a reader that goes away costs only the lines it missed; and the faults
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS), raised by the failing code itself.
const int kEndingSignals[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM,
                              SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,  SIGSTKFLT};
// Indexed by signal number: what was there before ours (SDL's own for SIGINT and SIGTERM).
struct sigaction g_previous[_NSIG] {};

void PassOn(const struct sigaction& previous, int signal, siginfo_t* info, void* context) {
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
               previous.sa_handler != nullptr) {
        previous.sa_handler(signal);
    }
    // A default action is not taken: the watching thread turns the signal into a quit event.
}

void OnQuitSignal(int signal, siginfo_t* info, void* context) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost by dropping this one.
    if (write(g_wakeUp[1], &byte, 1) < 0) {
    }
    errno = saved;
    if (signal > 0 && signal < _NSIG) {
        PassOn(g_previous[signal], signal, info, context);
    }
}

// The road SIGTERM takes, for every quit signal: SDL turns only SIGINT and SIGTERM into a quit
// event itself, and a second one does no harm.
void ForwardQuit() {
    std::lock_guard<std::mutex> lock(g_forwarding);
    if (!g_forwardingStopped) {
        SDL_Event event{};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
    }
}

// A signal that was ignored when the program started stays ignored: it would not have ended it.
void TakeUnlessIgnored(int signal, const struct sigaction& handler) {
    struct sigaction present {};
    if (sigaction(signal, nullptr, &present) != 0 ||
        ((present.sa_flags & SA_SIGINFO) == 0 && present.sa_handler == SIG_IGN)) {
        return;
    }
    sigaction(signal, &handler, &g_previous[signal]);
}

bool WaitReadable(int fd, int milliseconds) {
    pollfd watched{fd, POLLIN, 0};
    for (;;) {
        const int ready = poll(&watched, 1, milliseconds);
        if (ready >= 0 || errno != EINTR) {
            return ready > 0;
        }
    }
}

void Watch(uint32_t graceMilliseconds) {
    // Signals belong to the main thread; this one only waits.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);
    for (;;) {
        if (!WaitReadable(g_wakeUp[0], -1)) {
            return;
        }
        char byte = 0;
        if (read(g_wakeUp[0], &byte, 1) <= 0) {
            return;
        }
        ForwardQuit();
        // A normal road that ends the program ends this thread with it.
        WaitReadable(-1, static_cast<int>(graceMilliseconds));
        while (g_displaySwitched.load()) {
            WaitReadable(-1, 100);
        }
        static const char message[] =
            "zorvik: the frame in progress did not end soon after the quit request; ending "
            "without it\n";
        if (write(STDERR_FILENO, message, sizeof message - 1) < 0) {
        }
        _exit(0);
    }
}

} // namespace

void StartQuitWatchdog(uint32_t graceMilliseconds) {
    if (g_wakeUp[0] >= 0 || pipe2(g_wakeUp, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    // The reading end blocks in poll(), not in read(); only the writer must never block.
    std::thread(Watch, graceMilliseconds).detach();
    struct sigaction handler {};
    handler.sa_sigaction = OnQuitSignal;
    handler.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&handler.sa_mask);
    for (const int signal : kEndingSignals) {
        TakeUnlessIgnored(signal, handler);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        TakeUnlessIgnored(signal, handler);
    }
}

void ForEachQuitSignal(void (*visit)(int signal)) {
    for (const int signal : kEndingSignals) {
        visit(signal);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        visit(signal);
    }
}

void SetQuitWatchdogDisplaySwitched(bool switched) {
    g_displaySwitched.store(switched);
}

void StopQuitForwarding() {
    std::lock_guard<std::mutex> lock(g_forwarding);
    g_forwardingStopped = true;
}
