#include "tools/capture_outputs.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tools/frame_pattern.h"
#include "tools/output_path.h"

namespace {

struct Named {
    std::string option;
    std::string name;
};

// What makes two names the same file to be replaced: where the file is really written, which is
// the name at the end of its chain of links, in its folder with every link in that resolved. Two
// names for one existing file (hard links) are different entries, each replaced on its own.
// Devices, FIFOs and open descriptors are written into, not replaced, and may take several
// outputs one after the other; they have no identity here.
class Identities {
  public:
    std::string Of(const OutputTarget& target) {
        if (target.mode != OutputMode::kReplace) {
            return "";
        }
        return OfFolder(FolderOf(target.path)) + "/" + BaseNameOf(target.path);
    }

    // A folder by its device and inode, which no spelling of its path changes; by its name when
    // it is not there (the output is refused then anyway).
    std::string OfFolder(const std::string& folder) {
        auto found = folders_.find(folder);
        if (found == folders_.end()) {
            struct stat st;
            found = folders_
                        .emplace(folder,
                                 stat(folder.c_str(), &st) == 0
                                     ? std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino)
                                     : folder)
                        .first;
        }
        return found->second;
    }

  private:
    std::map<std::string, std::string> folders_;
};

// The file a name is written to, for messages: its folder with every link resolved.
std::string WhereWritten(const std::string& path) {
    char* real = realpath(FolderOf(path).c_str(), nullptr);
    if (real == nullptr) {
        return path;
    }
    const std::string folder = real;
    std::free(real);
    return (folder == "/" ? "" : folder) + "/" + BaseNameOf(path);
}

const char* const kStandardNames[] = {"standard input", "standard output", "standard error"};

// A name that leads to one of the standard descriptors that the tool found closed: what was
// written there would vanish into /dev/null, which is nothing the user asked for.
bool RefuseClosedAtStart(const OutputTarget& target, unsigned closedAtStart, std::string* error) {
    if (target.mode != OutputMode::kDescriptor || target.descriptor < 0 || target.descriptor > 2 ||
        (closedAtStart & (1u << target.descriptor)) == 0) {
        return true;
    }
    *error = CannotWrite(target, "it names " + std::string(kStandardNames[target.descriptor]) +
                                     ", which was closed when zorvik-capture started");
    return false;
}

bool SameAsStandardOutput(const std::string& name, const struct stat& standardOutput) {
    struct stat st;
    return stat(name.c_str(), &st) == 0 && st.st_dev == standardOutput.st_dev &&
           st.st_ino == standardOutput.st_ino;
}

// The frames of an --every pattern, at a cost that the folders' contents bound and the number of
// frames does not. Different frame numbers always give different names, so two frames can only
// meet through what is already on disk: the entries of the numbered component's folder that are
// frames of the run. Those are resolved and checked one by one; every other frame is a fresh name
// in that folder, all alike but for the number, and stands for the rest by its first and its
// last (the longest); a fresh name is hit only by an output whose file, once resolved, lies in
// that folder under a frame's name.
template <typename Check, typename BothWrite>
bool CheckFrames(const CaptureOptions& options, Identities& identities,
                 std::map<std::string, Named>* taken, Check check, BothWrite bothWrite,
                 std::string* error) {
    const std::string& pattern = options.out;
    const long every = options.every;
    const long last = options.frames - options.frames % every;
    const long count = last / every;
    auto label = [](long frame) { return "--out (frame " + std::to_string(frame) + ")"; };
    auto isFrame = [&](long frame) {
        return frame >= every && frame <= last && frame % every == 0;
    };

    const std::string folder = FramePatternFolder(pattern);
    std::vector<long> existing;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const long frame = FrameOfEntry(pattern, entry->d_name);
            if (isFrame(frame)) {
                existing.push_back(frame);
            }
        }
        closedir(dir);
    } else if (errno != ENOENT && errno != ENOTDIR) {
        *error = "cannot write '" + ExpandFramePattern(pattern, every) + "': cannot list '" +
                 folder + "' to see which frames are there: " + std::strerror(errno);
        return false;
    }
    // A missing folder leaves every frame fresh, and the first one's probe says what is wrong.
    std::sort(existing.begin(), existing.end());
    auto exists = [&](long frame) {
        return std::binary_search(existing.begin(), existing.end(), frame);
    };
    // The first frame of the run that is not there: existing[i] is frame every * (i + 1) up to it.
    long firstFresh = 0;
    if (static_cast<long>(existing.size()) < count) {
        firstFresh = every * static_cast<long>(existing.size() + 1);
        for (size_t i = 0; i < existing.size(); ++i) {
            if (existing[i] != every * static_cast<long>(i + 1)) {
                firstFresh = every * static_cast<long>(i + 1);
                break;
            }
        }
    }
    if (firstFresh > 0 && FramePatternNumbersFolders(pattern)) {
        // A frame whose numbered folder is not there has nowhere to go.
        if (!check(label(firstFresh), ExpandFramePattern(pattern, firstFresh), false)) {
            return false;
        }
        *error = "cannot write '" + ExpandFramePattern(pattern, firstFresh) +
                 "': " + std::strerror(ENOENT);
        return false;
    }
    for (const long frame : existing) {
        if (!check(label(frame), ExpandFramePattern(pattern, frame),
                   frame == every || frame == last)) {
            return false;
        }
    }
    if (firstFresh == 0) {
        return true;
    }
    long lastFresh = last;
    while (exists(lastFresh)) {
        lastFresh -= every;
    }
    if (!check(label(firstFresh), ExpandFramePattern(pattern, firstFresh), true) ||
        (lastFresh != firstFresh &&
         !check(label(lastFresh), ExpandFramePattern(pattern, lastFresh), true))) {
        return false;
    }
    // Whatever else lands in the folder under a fresh frame's name takes that frame's file.
    const std::string folderIdentity = identities.OfFolder(folder) + "/";
    for (const auto& [identity, output] : *taken) {
        if (identity.compare(0, folderIdentity.size(), folderIdentity) != 0) {
            continue;
        }
        const std::string base = identity.substr(folderIdentity.size());
        const long frame = FrameOfEntry(pattern, base);
        if (isFrame(frame) && !exists(frame) && frame != firstFresh && frame != lastFresh) {
            const std::string name = ExpandFramePattern(pattern, frame);
            return bothWrite(output, label(frame), name, name);
        }
    }
    return true;
}

} // namespace

bool CheckCaptureOutputs(const CaptureOptions& options, unsigned closedAtStart,
                         CaptureOutputs* outputs, std::string* error) {
    *outputs = CaptureOutputs{};
    const bool standardOutputClosed = (closedAtStart & (1u << STDOUT_FILENO)) != 0;
    struct stat standardOutput;
    const bool haveStandardOutput =
        !standardOutputClosed && fstat(STDOUT_FILENO, &standardOutput) == 0;
    if (options.raw && options.rawFile.empty()) {
        if (standardOutputClosed) {
            *error = "--raw writes the frames to standard output, which was closed when "
                     "zorvik-capture started; give --raw FILE or open standard output";
            return false;
        }
        if (isatty(STDOUT_FILENO)) {
            *error = "--raw writes binary frames; send standard output to a file or pipe, or "
                     "give --raw FILE";
            return false;
        }
        outputs->standardOutputCarriesData = true;
    }

    std::vector<Named> named;
    if (!options.out.empty() && options.every == 0) {
        named.push_back({"--out", options.out});
    }
    for (const Named& n : {Named{"--raw", options.rawFile}, Named{"--video", options.video},
                           Named{"--texture", options.texture}}) {
        if (!n.name.empty()) {
            named.push_back(n);
        }
    }
    Identities identities;
    std::map<std::string, Named> taken; // identity -> the output that writes it
    auto bothWrite = [&](const Named& first, const std::string& option, const std::string& name,
                         const std::string& path) {
        *error = first.option + " '" + first.name + "' and " + option + " '" + name +
                 "' would both write '" + path + "'; give each its own file";
        return false;
    };
    auto claim = [&](const std::string& option, const OutputTarget& target) {
        const std::string identity = identities.Of(target);
        if (identity.empty()) {
            return true;
        }
        const auto found = taken.find(identity);
        if (found != taken.end()) {
            return bothWrite(found->second, option, target.name, WhereWritten(target.path));
        }
        taken.emplace(identity, Named{option, target.name});
        return true;
    };
    auto check = [&](const std::string& option, const std::string& name, bool probe) {
        OutputTarget target;
        if (!ResolveOutput(name, &target, error) ||
            !RefuseClosedAtStart(target, closedAtStart, error) ||
            !CheckOutput(name, probe, error) || !claim(option, target)) {
            return false;
        }
        if (haveStandardOutput && target.exists && SameAsStandardOutput(name, standardOutput)) {
            outputs->standardOutputCarriesData = true;
        }
        return true;
    };
    for (const Named& n : named) {
        if (!check(n.option, n.name, true)) {
            return false;
        }
    }
    return options.every == 0 || CheckFrames(options, identities, &taken, check, bothWrite, error);
}
