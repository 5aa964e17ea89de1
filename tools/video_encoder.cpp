#include "tools/video_encoder.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tools/interrupt_cleanup.h"

namespace {

// Enough of ffmpeg's messages to give the reason; it prints little at the error level.
constexpr size_t kMaxMessageBytes = 2000;

// The containers that ffmpeg writes as one file, under the name it is given, whatever that holds;
// each is named to ffmpeg outright, so that its own guess from the name never picks another.
const struct {
    const char* extension;
    const char* muxer;
} kContainers[] = {
    {"mkv", "matroska"}, {"mp4", "mp4"},   {"webm", "webm"},        {"mov", "mov"},
    {"avi", "avi"},      {"nut", "nut"},   {"ts", "mpegts"},        {"m2ts", "mpegts"},
    {"mts", "mpegts"},   {"flv", "flv"},   {"mpg", "mpeg"},         {"mpeg", "mpeg"},
    {"ogv", "ogv"},      {"wmv", "asf"},   {"asf", "asf"},          {"gif", "gif"},
    {"apng", "apng"},    {"webp", "webp"}, {"y4m", "yuv4mpegpipe"},
};

// The extension of a path's last component, lowercase; empty for none (a hidden name's leading
// dot and a trailing dot are no extension).
std::string ExtensionOf(const std::string& path) {
    const std::string name = BaseNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
        return "";
    }
    std::string extension = name.substr(dot + 1);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

} // namespace

const char* VideoMuxerFor(const std::string& name) {
    const std::string extension = ExtensionOf(name);
    if (extension.empty()) {
        return "matroska";
    }
    for (const auto& container : kContainers) {
        if (extension == container.extension) {
            return container.muxer;
        }
    }
    return nullptr;
}

std::string VideoExtensions() {
    std::string list;
    for (const auto& container : kContainers) {
        list += (list.empty() ? "." : ", .") + std::string(container.extension);
    }
    return list;
}

bool FfmpegInstalled() {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return false;
    }
    const std::string list = path;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        const std::string folder = end > start ? list.substr(start, end - start) : ".";
        if (access((folder + "/ffmpeg").c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

VideoEncoder::~VideoEncoder() {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Reap();
    }
    RemoveTemporary();
    if (log_ >= 0) {
        close(log_);
    }
}

bool VideoEncoder::Start(const std::string& name, int width, int height, std::string* error) {
    if (!ResolveOutput(name, &target_, error)) {
        return false;
    }
    // The extension picks the container; a name without one, such as a device's, gets Matroska,
    // which needs no seeking and so also streams into a FIFO, unless it is a link to a file
    // whose name has one.
    const char* muxer = VideoMuxerFor(name);
    if (ExtensionOf(name).empty() && target_.mode == OutputMode::kReplace &&
        VideoMuxerFor(target_.path) != nullptr) {
        muxer = VideoMuxerFor(target_.path);
    }
    if (muxer == nullptr) {
        *error = CannotWrite(target_, "its extension names no container that ffmpeg writes as "
                                      "one video file; give one of " +
                                          VideoExtensions());
        return false;
    }
    // The temporary file is made here, so that its name is this output's alone; ffmpeg (-y)
    // then writes over it.
    std::string file = name;
    if (target_.mode == OutputMode::kReplace) {
        const int fd = CreateTemporaryFile(target_.path, &temporary_);
        if (fd < 0) {
            *error = CannotWrite(target_, std::strerror(errno));
            return false;
        }
        close(fd);
        file = temporary_;
    }
    // ffmpeg writes one of the program's own open files as its descriptor 3 ("pipe:"), anything
    // else by name; "file:" keeps it from reading a name with a colon as a protocol.
    url_ = target_.mode == OutputMode::kDescriptor ? "pipe:3" : "file:" + file;
    int passed = -1;
    if (target_.mode == OutputMode::kDescriptor) {
        passed = fcntl(target_.descriptor, F_DUPFD_CLOEXEC, 10);
        if (passed < 0) {
            *error = CannotWrite(target_, std::strerror(errno));
            return false;
        }
    }
    // Where a regular file behind the descriptor stood, to see afterwards that ffmpeg wrote into
    // it; a device's offset says nothing, a pipe has none.
    struct stat passedStat;
    startOffset_ = passed >= 0 && fstat(passed, &passedStat) == 0 && S_ISREG(passedStat.st_mode)
                       ? lseek(passed, 0, SEEK_CUR)
                       : -1;
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"};
    args.insert(args.end(), {"-f", "rawvideo", "-pix_fmt", "rgba", "-s", size, "-r", "60"});
    args.insert(args.end(), {"-i", "-", "-pix_fmt", "yuv420p"});
    args.insert(args.end(), {"-f", muxer, url_});
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(&arg[0]);
    }
    argv.push_back(nullptr);

    log_ = memfd_create("ffmpeg-messages", MFD_CLOEXEC);
    int fds[2];
    if (log_ < 0 || pipe2(fds, O_CLOEXEC) != 0) {
        *error = CannotWrite(target_, std::string("cannot start ffmpeg: ") + std::strerror(errno));
        if (passed >= 0) {
            close(passed);
        }
        return false;
    }
    const pid_t parent = getpid();
    auto hold = HoldInterruptCleanup();
    pid_ = fork();
    if (pid_ == 0) {
        dup2(fds[0], STDIN_FILENO);
        dup2(log_, STDERR_FILENO);
        if (passed >= 0) {
            dup2(passed, 3);
        }
        UnblockInterruptSignals();
        // ffmpeg must not outlive a capture killed outright.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) {
            _exit(127);
        }
        execvp("ffmpeg", argv.data());
        _exit(127);
    }
    const int forkError = errno;
    close(fds[0]);
    if (passed >= 0) {
        close(passed);
    }
    if (pid_ < 0) {
        close(fds[1]);
        *error =
            CannotWrite(target_, std::string("cannot start ffmpeg: ") + std::strerror(forkError));
        return false;
    }
    pipe_ = fds[1];
    TrackChildProcess(pid_);
    return true;
}

bool VideoEncoder::Write(const std::vector<unsigned char>& frame, std::string* error) {
    const unsigned char* bytes = frame.data();
    size_t size = frame.size();
    while (size > 0) {
        const ssize_t written = write(pipe_, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            // ffmpeg stopped reading: its own messages say why.
            return End(false, error);
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool VideoEncoder::Finish(std::string* error) {
    return End(true, error);
}

bool VideoEncoder::End(bool complete, std::string* error) {
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    const int status = pid_ > 0 ? Reap() : -1;
    const std::string messages = Messages();
    std::string reason;
    if (!messages.empty()) {
        // At the error level ffmpeg says something only when something failed, even where it
        // still exits with 0 (a failed write of the file's end, for one).
        reason = "ffmpeg: " + messages;
    } else if (status == -1) {
        reason = "ffmpeg is not running";
    } else if (WIFSIGNALED(status)) {
        reason = "ffmpeg was ended by signal " + std::to_string(WTERMSIG(status));
    } else if (WEXITSTATUS(status) == 127) {
        reason = "ffmpeg could not be started";
    } else if (WEXITSTATUS(status) != 0) {
        reason = "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status));
    } else if (!complete) {
        reason = "ffmpeg stopped reading frames";
    } else if (!WroteSomething()) {
        // ffmpeg can end well and still have written its output elsewhere, or nowhere.
        reason = "ffmpeg ended without writing the video";
    }
    if (!reason.empty()) {
        RemoveTemporary();
        *error = CannotWrite(target_, reason);
        return false;
    }
    if (temporary_.empty()) {
        return true;
    }
    // ffmpeg made the file with its own permissions; a replaced file keeps the old ones.
    if (target_.exists) {
        chmod(temporary_.c_str(), target_.permissions);
    }
    return MoveIntoPlace(target_, &temporary_, error);
}

bool VideoEncoder::WroteSomething() const {
    struct stat st;
    if (!temporary_.empty()) {
        return stat(temporary_.c_str(), &st) == 0 && st.st_size > 0;
    }
    return startOffset_ < 0 || lseek(target_.descriptor, 0, SEEK_CUR) != startOffset_;
}

int VideoEncoder::Reap() {
    // Waiting without reaping first, so that the process id stays ffmpeg's until the cleanup
    // after an interruption can no longer reach for it.
    siginfo_t info;
    while (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    auto hold = HoldInterruptCleanup();
    int status = 0;
    if (waitpid(pid_, &status, 0) != pid_) {
        status = -1;
    }
    ForgetChildProcess(pid_);
    pid_ = -1;
    return status;
}

std::string VideoEncoder::Messages() const {
    std::string text;
    if (log_ < 0) {
        return text;
    }
    char chunk[4096];
    for (off_t offset = 0;;) {
        const ssize_t got = pread(log_, chunk, sizeof chunk, offset);
        if (got <= 0) {
            break;
        }
        text.append(chunk, static_cast<size_t>(got));
        offset += got;
    }
    // One line: ffmpeg's lines joined, its name for the temporary file replaced by the user's.
    std::string line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string part = text.substr(start, end - start);
        while (!part.empty() && (part.back() == '\r' || part.back() == ' ')) {
            part.pop_back();
        }
        if (!part.empty()) {
            line += (line.empty() ? "" : "; ") + part;
        }
        start = end + 1;
    }
    for (size_t at = line.find(url_); !url_.empty() && at != std::string::npos;
         at = line.find(url_, at + target_.name.size())) {
        line.replace(at, url_.size(), target_.name);
    }
    if (line.size() > kMaxMessageBytes) {
        line = "..." + line.substr(line.size() - kMaxMessageBytes);
    }
    return line;
}

void VideoEncoder::RemoveTemporary() {
    RemoveTemporaryFile(&temporary_);
}
