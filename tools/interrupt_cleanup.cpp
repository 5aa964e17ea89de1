#include "tools/interrupt_cleanup.h"

#include <algorithm>
#include <csignal>
#include <pthread.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Pending {
    std::mutex mutex;
    std::vector<std::string> temporaryFiles;
    std::vector<pid_t> children;
};

// Never destroyed: the signal thread may still reach for it while the program exits.
Pending& State() {
    static Pending* const pending = new Pending;
    return *pending;
}

// Every signal that ends the process by default and is sent to it from outside (kill, a
// terminal, a timer, a resource limit). Left out: SIGPIPE, which the tool ignores so that a
// reader that goes away ends the run with its reason; and the faults (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT, SIGTRAP, SIGSYS), which the failing thread raises itself and which blocking
// cannot hold back. SIGXFSZ from a write past the file-size limit goes to the writing thread,
// where it stays blocked: the write fails with EFBIG, and the run ends with that reason.
const int kEndingSignals[] = {SIGHUP,    SIGINT,  SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM,
                              SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGIO,   SIGPWR,  SIGSTKFLT};

// The signals taken by the cleanup thread, fixed once it starts.
sigset_t g_taken;

// A signal that was ignored when the tool started (nohup, or a script's background job) stays
// ignored: it would not have ended the tool.
void TakeUnlessIgnored(int signal, sigset_t* set) {
    struct sigaction action;
    if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) {
        sigaddset(set, signal);
    }
}

[[noreturn]] void CleanUpAndDie(int signal) {
    // Kept for good: whatever the other threads are doing, they start no new step now.
    Pending& pending = State();
    pending.mutex.lock();
    // The encoder goes first, so that it cannot create or extend its file after the removal.
    for (const pid_t child : pending.children) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    for (const std::string& path : pending.temporaryFiles) {
        unlink(path.c_str());
    }
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal); // not reached: the default action of each of them ends the process
}

} // namespace

void StartInterruptCleanup() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals) {
        TakeUnlessIgnored(signal, &set);
    }
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) {
        TakeUnlessIgnored(signal, &set);
    }
    g_taken = set;
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        CleanUpAndDie(signal);
    }).detach();
}

std::unique_lock<std::mutex> HoldInterruptCleanup() {
    return std::unique_lock<std::mutex>(State().mutex);
}

void TrackTemporaryFile(const std::string& path) {
    State().temporaryFiles.push_back(path);
}

void ForgetTemporaryFile(const std::string& path) {
    auto& files = State().temporaryFiles;
    const auto found = std::find(files.begin(), files.end(), path);
    if (found != files.end()) {
        files.erase(found);
    }
}

void TrackChildProcess(pid_t pid) {
    State().children.push_back(pid);
}

void ForgetChildProcess(pid_t pid) {
    auto& children = State().children;
    children.erase(std::remove(children.begin(), children.end(), pid), children.end());
}

void UnblockInterruptSignals() {
    pthread_sigmask(SIG_UNBLOCK, &g_taken, nullptr);
}
