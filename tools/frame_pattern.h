// Frame-number patterns, such as shots/%06d.png, that name the frames --every writes.
#pragma once

#include <string>

// Whether `path` holds exactly one frame-number conversion (%d, %6d, %06d); "%%" is a literal %.
bool IsFramePattern(const std::string& path);

// Whether the pattern gives every frame a name of its own. False, with the reason, for a field
// wider than any file name can be, or for a ".." after the number's folder, which would lead
// the frames of different folders back to one file.
bool CheckFramePattern(const std::string& pattern, std::string* error);

// The pattern with `frame` (0 or more) in place of its conversion, padded on the left with
// zeros (%06d) or spaces (%6d) to the field width but never cut, so that different frames always
// get different names.
std::string ExpandFramePattern(const std::string& pattern, long frame);

// Whether the pattern's number lies in a folder of the path rather than in the file's own name.
bool FramePatternNumbersFolders(const std::string& pattern);

// The folder that holds the pattern's numbered component ("." where the pattern has no folder):
// the one place where the frames' names can meet something already there.
std::string FramePatternFolder(const std::string& pattern);

// The frame (0 or more) that gives `entry`, a name in FramePatternFolder, as the pattern's
// numbered component; -1 for a name that no frame gives. Each name is given by one frame at most.
long FrameOfEntry(const std::string& pattern, const std::string& entry);
