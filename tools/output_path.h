// Output files of the capture tool: frame-number patterns, and writing under a temporary name
// that is renamed into place only once the file is complete, so that an interrupted or failed run
// never leaves a partial file under the final name.
#pragma once

#include <string>

// Whether `path` holds exactly one frame-number conversion (%d, %6d, %06d); "%%" is a literal %.
bool IsFramePattern(const std::string& path);
// The pattern with `frame` in place of its conversion.
std::string ExpandFramePattern(const std::string& pattern, long frame);

// A temporary name in the same folder as `path`, keeping its extension.
std::string TemporaryNameFor(const std::string& path);
// Checks that a file can be created where `path` would go; false with a reason otherwise.
bool CheckWritable(const std::string& path, std::string* error);
// Moves the finished temporary file to its final name.
bool CommitFile(const std::string& temporary, const std::string& path, std::string* error);
