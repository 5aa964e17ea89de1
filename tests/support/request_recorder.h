// Stands in for the shell's two requests in tests that drive the scene without a shell, and
// records them in order.
#pragma once

#include <string>
#include <vector>

#include "common/gl_window.h"

struct RecordedRequest {
    std::string name; // "TerminateApplication" or "ToggleFullscreen"
    GL_Window* window;
};

std::vector<RecordedRequest>& RecordedRequests();
