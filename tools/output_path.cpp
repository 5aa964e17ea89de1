#include "tools/output_path.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/interrupt_cleanup.h"

namespace {

// As the kernel counts them: a longer chain of links is a loop.
constexpr int kMaxLinks = 40;
// A longer "extension" is part of the name, not a container's suffix.
constexpr size_t kMaxExtension = 16;

std::string ErrnoText(int error) {
    return std::strerror(error);
}

// The kind of an existing file that is neither written into nor replaced, in words.
std::string UnwritableKind(mode_t mode) {
    if (S_ISBLK(mode)) {
        return "it is a block device; only files, character devices and FIFOs are written";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket; only files, character devices and FIFOs are written";
    }
    return "it is not a file, a character device or a FIFO";
}

// The text of a link, read whole however long it is.
bool ReadLink(const std::string& path, std::string* text) {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t length = readlink(path.c_str(), &buffer[0], buffer.size());
        if (length < 0) {
            return false;
        }
        if (static_cast<size_t>(length) < buffer.size()) {
            buffer.resize(static_cast<size_t>(length));
            *text = buffer;
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The next name in a chain of links: the link's text, read relative to the link's folder.
bool NextLink(const std::string& path, std::string* next) {
    std::string text;
    if (!ReadLink(path, &text)) {
        return false;
    }
    const size_t slash = path.rfind('/');
    *next = text.empty() || text[0] == '/' || slash == std::string::npos
                ? text
                : path.substr(0, slash + 1) + text;
    return true;
}

// Whether `path` names one of this process's open files by number, as /dev/stdout leads to
// /proc/self/fd/1.
bool OwnDescriptor(const std::string& path, int* descriptor) {
    const std::string folder = FolderOf(path);
    if (folder != "/dev/fd" && folder != "/proc/self/fd" && folder != "/proc/thread-self/fd" &&
        folder != "/proc/" + std::to_string(getpid()) + "/fd") {
        return false;
    }
    const std::string number = BaseNameOf(path);
    if (number.empty() || number.size() > 9 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    *descriptor = std::stoi(number);
    return true;
}

// Walks the chain of links from `name` to one of this process's open files, if it leads to one.
// Returns the errno that stopped the walk early, or 0.
int FindOwnDescriptor(const std::string& name, int* descriptor) {
    std::string path = name;
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (OwnDescriptor(path, descriptor)) {
            return 0;
        }
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return 0;
        }
        if (!NextLink(path, &path)) {
            return errno;
        }
    }
    return ELOOP;
}

// Follows the links at the end of `target->path` one by one to the file they lead to, or to the
// name where a new file would go. Returns the errno that stopped it, or 0.
int FollowLinks(OutputTarget* target, struct stat* found) {
    for (int links = 0; links <= kMaxLinks; ++links) {
        if (lstat(target->path.c_str(), found) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(found->st_mode)) {
            target->exists = true;
            return 0;
        }
        if (!NextLink(target->path, &target->path)) {
            return errno;
        }
    }
    return ELOOP;
}

} // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CannotWrite(const OutputTarget& target, const std::string& reason) {
    std::string text = "cannot write '" + target.name + "'";
    if (target.mode == OutputMode::kReplace && target.path != target.name) {
        text += " (a link to '" + target.path + "')";
    }
    return text + ": " + reason;
}

bool ResolveOutput(const std::string& name, OutputTarget* target, std::string* error) {
    *target = OutputTarget{};
    target->name = name;
    target->path = name;
    struct stat st;
    const bool exists = stat(name.c_str(), &st) == 0;
    const int statError = exists ? 0 : errno;
    int descriptor = -1;
    const int descriptorError = FindOwnDescriptor(name, &descriptor);
    if (descriptorError != 0) {
        *error = CannotWrite(*target, ErrnoText(descriptorError));
        return false;
    }
    if (descriptor >= 0) {
        if (!exists || fcntl(descriptor, F_GETFL) < 0) {
            *error = CannotWrite(*target, "it names file descriptor " + std::to_string(descriptor) +
                                              ", which is not open");
            return false;
        }
        if (S_ISDIR(st.st_mode)) {
            *error = CannotWrite(*target, ErrnoText(EISDIR));
            return false;
        }
        target->mode = OutputMode::kDescriptor;
        target->descriptor = descriptor;
        target->exists = true;
        return true;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        *error = CannotWrite(*target, ErrnoText(EISDIR));
        return false;
    }
    if (name.empty() || name.back() == '/') {
        *error = CannotWrite(*target, "a file name is needed, and it cannot end in '/'");
        return false;
    }
    if (!exists && statError != ENOENT) {
        *error = CannotWrite(*target, ErrnoText(statError));
        return false;
    }
    if (exists && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        // Opened by the name as given: the kernel follows the links, even those of another
        // process's /proc/PID/fd, whose text ("pipe:[1234]") names no file.
        target->mode = OutputMode::kStream;
        target->exists = true;
        return true;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        *error = CannotWrite(*target, UnwritableKind(st.st_mode));
        return false;
    }
    struct stat found;
    const int followError = FollowLinks(target, &found);
    if (followError != 0) {
        *error = CannotWrite(*target, ErrnoText(followError));
        return false;
    }
    // The links followed by hand must end where the kernel's did: a link in /proc to a file
    // that was deleted, for one, reads as a name that is not there.
    if (exists && (!target->exists || found.st_dev != st.st_dev || found.st_ino != st.st_ino)) {
        *error = CannotWrite(*target, "its links do not lead to a file that can be replaced");
        return false;
    }
    if (target->exists) {
        target->permissions = found.st_mode & 07777;
    }
    return true;
}

bool CheckOutput(const std::string& name, bool probe, std::string* error) {
    OutputTarget target;
    if (!ResolveOutput(name, &target, error)) {
        return false;
    }
    if (target.mode == OutputMode::kDescriptor) {
        const int flags = fcntl(target.descriptor, F_GETFL);
        if ((flags & O_ACCMODE) == O_RDONLY) {
            *error = CannotWrite(target, "its file descriptor is open for reading only");
            return false;
        }
        if (isatty(target.descriptor)) {
            *error = CannotWrite(target, "it is a terminal; send the binary output to a file "
                                         "or a pipe");
            return false;
        }
        return true;
    }
    if (target.mode == OutputMode::kStream) {
        if (access(name.c_str(), W_OK) != 0) {
            *error = CannotWrite(target, ErrnoText(errno));
            return false;
        }
        struct stat st;
        if (stat(name.c_str(), &st) == 0 && S_ISCHR(st.st_mode)) {
            // Opening a FIFO would wait for its reader; a device opens at once.
            const int fd = open(name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
            if (fd < 0) {
                *error = CannotWrite(target, ErrnoText(errno));
                return false;
            }
            const bool terminal = isatty(fd) != 0;
            close(fd);
            if (terminal) {
                *error = CannotWrite(target, "it is a terminal; send the binary output to a file "
                                             "or a pipe");
                return false;
            }
        }
        return true;
    }
    const std::string folder = FolderOf(target.path);
    struct stat st;
    if (stat(folder.c_str(), &st) != 0) {
        *error = CannotWrite(target, ErrnoText(errno));
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        *error = CannotWrite(target, ErrnoText(ENOTDIR));
        return false;
    }
    errno = 0;
    long maxName = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (maxName <= 0) {
        maxName = NAME_MAX;
    }
    if (BaseNameOf(target.path).size() > static_cast<size_t>(maxName)) {
        *error = CannotWrite(target, ErrnoText(ENAMETOOLONG));
        return false;
    }
    if (!probe) {
        if (access(folder.c_str(), W_OK | X_OK) != 0) {
            *error = CannotWrite(target, ErrnoText(errno));
            return false;
        }
        return true;
    }
    std::string temporary;
    const int fd = CreateTemporaryFile(target.path, &temporary);
    if (fd < 0) {
        *error = CannotWrite(target, ErrnoText(errno));
        return false;
    }
    close(fd);
    RemoveTemporaryFile(&temporary);
    return true;
}

std::string TemporaryNameFor(const std::string& path, unsigned long sequence) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot != 0 && name.size() - dot <= kMaxExtension;
    std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : "";
    const std::string marker =
        ".partial-" + std::to_string(getpid()) + "-" + std::to_string(sequence);
    // A name that is itself near the longest allowed gives up the end of its stem, so that the
    // temporary name is never refused where the final name would be taken.
    const size_t room = NAME_MAX - 1 - marker.size() - extension.size();
    if (stem.size() > room) {
        stem.resize(room);
    }
    return folder + "." + stem + marker + extension;
}

int CreateTemporaryFile(const std::string& path, std::string* temporary) {
    // Shared by every output of the process, so that two outputs whose names differ only past
    // the point where a long name is cut still get temporary files of their own.
    static std::atomic<unsigned long> next{1};
    constexpr int kAttempts = 1000;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const std::string name = TemporaryNameFor(path, next++);
        auto hold = HoldInterruptCleanup();
        const int fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporary = name;
            TrackTemporaryFile(*temporary);
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

void RemoveTemporaryFile(std::string* temporary) {
    if (temporary->empty()) {
        return;
    }
    auto hold = HoldInterruptCleanup();
    unlink(temporary->c_str());
    ForgetTemporaryFile(*temporary);
    temporary->clear();
}

bool MoveIntoPlace(const OutputTarget& target, std::string* temporary, std::string* error) {
    auto hold = HoldInterruptCleanup();
    const bool renamed = rename(temporary->c_str(), target.path.c_str()) == 0;
    if (!renamed) {
        *error = CannotWrite(target, std::strerror(errno));
        unlink(temporary->c_str());
    }
    ForgetTemporaryFile(*temporary);
    temporary->clear();
    return renamed;
}
