#include "shell/linux/quit_watchdog.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

int g_wakeUp[2] = {-1, -1}; // the signal handler writes, the thread reads
std::atomic<bool> g_displaySwitched{false};
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

void PassOn(const struct sigaction& previous, int signal, siginfo_t* info, void* context) {
    if ((previous.sa_flags & SA_SIGINFO) != 0 && previous.sa_sigaction != nullptr) {
        previous.sa_sigaction(signal, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&
               previous.sa_handler != nullptr) {
        previous.sa_handler(signal);
    } else if (previous.sa_handler == SIG_DFL) {
        // Nobody turns the signal into a close: it ends the program, as it would have.
        ::signal(signal, SIG_DFL);
        raise(signal);
    }
}

void OnQuitSignal(int signal, siginfo_t* info, void* context) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request; nothing is lost by dropping this one.
    if (write(g_wakeUp[1], &byte, 1) < 0) {
    }
    errno = saved;
    PassOn(signal == SIGINT ? g_previousInt : g_previousTerm, signal, info, context);
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
    sigaction(SIGINT, &handler, &g_previousInt);
    sigaction(SIGTERM, &handler, &g_previousTerm);
}

void SetQuitWatchdogDisplaySwitched(bool switched) {
    g_displaySwitched.store(switched);
}
