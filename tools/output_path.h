// Where an output file of the capture tool goes, and how it is written there. A regular file, or
// a name where nothing is yet, is written under a temporary name in the same folder and renamed
// into place only once complete, so that a failed or interrupted run never leaves a partial file
// under the final name. A character device (/dev/null) or a FIFO is written straight into: it
// must stay what it is. A symbolic link is followed to its target, and the link stays a link.
// A name for one of the program's own open files (/dev/stdout, /dev/fd/3, /proc/self/fd/3) is
// written through that open file, whatever it is: its offset and append mode are the shell's.
#pragma once

#include <string>
#include <sys/types.h>

enum class OutputMode {
    kReplace,    // temporary file beside `path`, renamed over it
    kStream,     // opened and written in place
    kDescriptor, // written through the open file `descriptor`
};

struct OutputTarget {
    std::string name; // as the user gave it
    std::string path; // the file written: the name with every symbolic link followed
    OutputMode mode = OutputMode::kReplace;
    bool exists = false;
    mode_t permissions = 0; // of an existing file that is replaced, which the new one keeps
    int descriptor = -1;
};

// Decides how `name` is written. False, with "cannot write 'NAME': REASON", for a folder, a link
// that leads nowhere it can be followed, or a kind of file that is not written into (a block
// device, a socket).
bool ResolveOutput(const std::string& name, OutputTarget* target, std::string* error);

// Everything about writing `name` that can be known before anything is rendered: that it
// resolves, that a file to be replaced has a folder that takes the temporary file and a name
// short enough, and that a stream is writable and not a terminal. `probe` creates and removes the
// temporary file, the surest check; without it the folder's permissions are read instead.
bool CheckOutput(const std::string& name, bool probe, std::string* error);

// A temporary name in the same folder as `path`, hidden, marked with the process id and
// `sequence`, keeping the extension (ffmpeg picks the container by it), and no longer than a file
// name may be: a long name gives up the end of its stem, never the marker, so that different
// sequence numbers always give different names.
std::string TemporaryNameFor(const std::string& path, unsigned long sequence);

// Creates a new, empty temporary file for `path` under the next of this process's sequence
// numbers, never one that is already there (a leftover of a process killed outright, or another
// output's), and tracks it for the interruption cleanup. Returns its descriptor, close-on-exec,
// with its name in `temporary`; or -1 with errno.
int CreateTemporaryFile(const std::string& path, std::string* temporary);

// Removes a temporary file that is given up, safe from the interruption cleanup, and empties
// `temporary`; nothing when it is empty.
void RemoveTemporaryFile(std::string* temporary);

// "cannot write 'NAME': REASON", naming a link's target too when the two differ.
std::string CannotWrite(const OutputTarget& target, const std::string& reason);

// Renames a finished temporary file over the target, safe from the interruption cleanup, and
// forgets it; on failure removes it, with the reason in `error`. `temporary` is emptied either way.
bool MoveIntoPlace(const OutputTarget& target, std::string* temporary, std::string* error);

// The folder part of a path ("." for a bare name) and its last component.
std::string FolderOf(const std::string& path);
std::string BaseNameOf(const std::string& path);
