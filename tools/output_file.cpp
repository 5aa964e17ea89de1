#include "tools/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

OutputFile::~OutputFile() {
    Discard();
}

std::string OutputFile::Failure(const std::string& reason) const {
    return CannotWrite(target_, reason);
}

bool OutputFile::Open(const std::string& name, std::string* error) {
    Discard();
    if (!ResolveOutput(name, &target_, error)) {
        return false;
    }
    if (target_.mode == OutputMode::kDescriptor) {
        // A copy, so that closing it leaves the shell's descriptor open.
        fd_ = fcntl(target_.descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) {
            *error = Failure(std::strerror(errno));
            return false;
        }
        return true;
    }
    if (target_.mode == OutputMode::kStream) {
        // No O_TRUNC: a device or FIFO has nothing to cut, and O_CREAT could not apply.
        fd_ = open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) {
            *error = Failure(std::strerror(errno));
            return false;
        }
        return true;
    }
    fd_ = CreateTemporaryFile(target_.path, &temporary_);
    if (fd_ < 0) {
        *error = Failure(std::strerror(errno));
        return false;
    }
    if (target_.exists) {
        fchmod(fd_, target_.permissions);
    }
    return true;
}

bool OutputFile::OpenStandardOutput(std::string* error) {
    Discard();
    target_ = OutputTarget{};
    target_.name = "standard output";
    target_.mode = OutputMode::kDescriptor;
    target_.descriptor = STDOUT_FILENO;
    fd_ = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) {
        *error = Failure(std::strerror(errno));
        return false;
    }
    return true;
}

namespace {
constexpr size_t kBufferBytes = 64 * 1024;
}

bool OutputFile::Write(const void* data, size_t size, std::string* error) {
    const char* bytes = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferBytes && !Flush(error)) {
        return false;
    }
    if (size < kBufferBytes) {
        buffer_.insert(buffer_.end(), bytes, bytes + size);
        return true;
    }
    return WriteOut(bytes, size, error);
}

bool OutputFile::Flush(std::string* error) {
    const bool written = WriteOut(buffer_.data(), buffer_.size(), error);
    buffer_.clear();
    return written;
}

bool OutputFile::WriteOut(const char* bytes, size_t size, std::string* error) {
    while (size > 0) {
        const ssize_t written = write(fd_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            *error = Failure(std::strerror(errno));
            return false;
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool OutputFile::Commit(std::string* error) {
    if (!Flush(error)) {
        Discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) {
        *error = Failure(std::strerror(errno));
        Discard();
        return false;
    }
    if (temporary_.empty()) {
        return true;
    }
    return MoveIntoPlace(target_, &temporary_, error);
}

void OutputFile::Discard() {
    buffer_.clear();
    if (fd_ >= 0) {
        close(fd_);
    }
    fd_ = -1;
    RemoveTemporaryFile(&temporary_);
}
