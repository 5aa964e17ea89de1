#include "shell/linux/single_saver.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The display a saver covers, as its connection names it: Wayland's socket, else X's display
// without the screen number (":0.0" and ":0" are one desktop).
std::string DisplayName() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x = std::getenv("DISPLAY");
    std::string name;
    if (x != nullptr && x[0] != '\0') {
        name = x;
        const size_t colon = name.rfind(':');
        const size_t dot = name.find('.', colon == std::string::npos ? 0 : colon);
        if (colon != std::string::npos && dot != std::string::npos) {
            name.erase(dot);
        }
    }
    // SDL prefers Wayland where both are offered.
    if (wayland != nullptr && wayland[0] != '\0') {
        name = std::string("wayland:") + wayland;
    }
    for (char& c : name) {
        c = c == '/' ? '_' : c;
    }
    return name;
}

// A lock file in the user's own runtime folder, which nobody else can enter.
int LockInRuntimeFolder(const std::string& display, bool* held) {
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    struct stat info {};
    if (folder == nullptr || folder[0] != '/' || stat(folder, &info) != 0 ||
        !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        return -1;
    }
    const std::string path = std::string(folder) + "/zorvik-saver-" + display + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return -1;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *held = errno == EWOULDBLOCK;
        close(fd);
        return *held ? 0 : -1;
    }
    return fd;
}

// Without a runtime folder: an abstract socket's name, which the kernel frees with its owner.
int LockAbstractName(const std::string& display, bool* held) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name =
        "zorvik-saver-" + std::to_string(static_cast<unsigned long>(getuid())) + "-" + display;
    const size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
        *held = errno == EADDRINUSE;
        close(fd);
        return *held ? 0 : -1;
    }
    return fd;
}

} // namespace

bool TakeSaverPlace() {
    const std::string display = DisplayName();
    bool held = false;
    // Kept open, never closed: the place is the process's until it ends.
    if (LockInRuntimeFolder(display, &held) > 0 || held) {
        return !held;
    }
    // Where no lock can be had at all, a saver runs rather than none.
    LockAbstractName(display, &held);
    return !held;
}
