// Scene hooks for the shell's tests: each call is appended to the fake platform's log, so that
// the order of scene and platform calls can be checked together, and each hook can be given
// behaviour of its own.
#pragma once

#include <cstdint>
#include <functional>

#include "common/gl_window.h"

struct RecordingScene {
    BOOL initializeResult = TRUE;
    // Run inside Update with the records from the latest Initialize, e.g. to act on key flags.
    std::function<void(GL_Window* window, Keys* keys, uint32_t milliseconds)> onUpdate;
    GL_Window* window = nullptr;
    Keys* keys = nullptr;
};

// The hooks' settings; reset them between tests.
RecordingScene& Scene();

// The real scene's key handling: Esc asks to quit, F1 asks for the other display mode.
void ActOnEscAndF1(GL_Window* window, Keys* keys, uint32_t milliseconds);
