// The files a capture run will write, checked before anything is rendered: each can be written,
// the frames of a pattern get names of their own, and no two outputs name the same file.
#pragma once

#include <string>

#include "tools/capture_options.h"

struct CaptureOutputs {
    // Standard output takes frames or a picture (--raw, or an output that is standard output
    // under another name such as /dev/stdout), so reports must go elsewhere.
    bool standardOutputCarriesData = false;
};

// False with a one-line reason naming the file when an output cannot be written.
// `closedAtStart` has bit n set for each standard descriptor n that was closed when the tool
// started (and is /dev/null now): an output that would go there is refused, not lost.
bool CheckCaptureOutputs(const CaptureOptions& options, unsigned closedAtStart,
                         CaptureOutputs* outputs, std::string* error);
