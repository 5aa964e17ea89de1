#include "shell/linux/single_saver.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// X's display name is [protocol/][host]:number[.screen]. The screen is left out (every screen of
// a display is one desktop to cover), and so is a local connection's host ("unix", or none) and
// protocol: they reach the same server as ":number". Another host is another display.
std::string NormalX11Display(const std::string& text) {
    std::string name = text;
    const size_t slash = name.find('/');
    const size_t colon = name.rfind(':');
    if (slash != std::string::npos && (colon == std::string::npos || slash < colon)) {
        const std::string protocol = name.substr(0, slash);
        if (protocol != "unix" && protocol != "local") {
            return name;
        }
        name.erase(0, slash + 1);
    }
    const size_t at = name.rfind(':');
    if (at == std::string::npos) {
        return name;
    }
    std::string host = name.substr(0, at);
    if (host == "unix") {
        host.clear();
    }
    std::string number = name.substr(at + 1);
    number.erase(std::min(number.find('.'), number.size()));
    // ":00" is display 0 too; a number that is none stays as it was written.
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos) {
        number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
    }
    return host + ":" + number;
}

} // namespace

std::string SaverDisplayName(const char* driver, const char* x11Display, const char* waylandDisplay,
                             const char* runtimeFolder) {
    const std::string used = driver != nullptr ? driver : "";
    if (used == "x11") {
        return NormalX11Display(x11Display != nullptr ? x11Display : "");
    }
    if (used == "wayland") {
        // Where WAYLAND_DISPLAY is unset, the client library connects to "wayland-0".
        std::string name =
            waylandDisplay != nullptr && waylandDisplay[0] != '\0' ? waylandDisplay : "wayland-0";
        const std::string folder = runtimeFolder != nullptr ? runtimeFolder : "";
        if (!folder.empty() && name.size() > folder.size() + 1 &&
            name.compare(0, folder.size(), folder) == 0 && name[folder.size()] == '/') {
            name.erase(0, folder.size() + 1);
        }
        return "wayland:" + name;
    }
    return used;
}

// An abstract socket's name, which the kernel frees with its owner and which needs no folder:
// every run meets every other there, whatever its environment holds (a runtime folder or none).
// The name holds the user's id, so that another user's saver is no obstacle.
bool TakeSaverPlace(const std::string& display) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return true; // where no lock can be had at all, a saver runs rather than none
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name =
        "zorvik-saver-" + std::to_string(static_cast<unsigned long>(getuid())) + "-" + display;
    const size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    const socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
        const bool held = errno == EADDRINUSE;
        close(fd);
        return !held;
    }
    // Kept open, never closed: the place is the process's until it ends.
    return true;
}
