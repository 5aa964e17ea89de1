#include "tools/capture_outputs.h"

#include <climits>
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
    auto claim = [&](const std::string& option, const OutputTarget& target) {
        const std::string identity = identities.Of(target);
        if (identity.empty()) {
            return true;
        }
        const auto found = taken.find(identity);
        if (found != taken.end()) {
            *error = found->second.option + " '" + found->second.name + "' and " + option + " '" +
                     target.name + "' would both write '" + target.path +
                     "'; give each its own file";
            return false;
        }
        taken.emplace(identity, Named{option, target.name});
        return true;
    };
    for (const Named& n : named) {
        OutputTarget target;
        if (!ResolveOutput(n.name, &target, error) ||
            !RefuseClosedAtStart(target, closedAtStart, error) ||
            !CheckOutput(n.name, true, error) || !claim(n.option, target)) {
            return false;
        }
        if (haveStandardOutput && SameAsStandardOutput(n.name, standardOutput)) {
            outputs->standardOutputCarriesData = true;
        }
    }

    if (options.every > 0) {
        // Every name the pattern gives, in order. The first and the last (the longest) are
        // probed with a real temporary file; where the number names folders each frame's
        // folder is checked too; for the rest the name itself must resolve.
        const bool folders = FramePatternNumbersFolders(options.out);
        const long last = options.frames - options.frames % options.every;
        for (long frame = options.every;; frame += options.every) {
            const std::string name = ExpandFramePattern(options.out, frame);
            const bool probe = frame == options.every || frame == last;
            OutputTarget target;
            if (!ResolveOutput(name, &target, error) ||
                !RefuseClosedAtStart(target, closedAtStart, error) ||
                ((probe || folders) && !CheckOutput(name, probe, error))) {
                return false;
            }
            if (!claim("--out (frame " + std::to_string(frame) + ")", target)) {
                return false;
            }
            if (haveStandardOutput && target.exists && SameAsStandardOutput(name, standardOutput)) {
                outputs->standardOutputCarriesData = true;
            }
            if (frame > last - options.every) {
                break;
            }
        }
    }
    return true;
}
