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

sigset_t InterruptSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
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
    _exit(128 + signal); // not reached: the default action of the three signals ends the process
}

} // namespace

void StartInterruptCleanup() {
    const sigset_t set = InterruptSignals();
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
    const sigset_t set = InterruptSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}
