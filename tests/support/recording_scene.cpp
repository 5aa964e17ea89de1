// The recording scene hooks. See recording_scene.h.
#include "tests/support/recording_scene.h"

#include <string>

#include "shell/testing/fake_host.h"
#include "tests/support/platform_fake.h"

namespace {

// The program's tests log into their fake host, the Windows host's into the Win32 fake.
void Log(const std::string& entry) {
    if (g_fakeHost != nullptr) {
        g_fakeHost->log.push_back(entry);
    }
}

} // namespace

RecordingScene& Scene() {
    static RecordingScene scene;
    return scene;
}

void ActOnEscAndF1(GL_Window* window, Keys* keys, uint32_t) {
    if (keys->keyDown[27] == 1) {
        TerminateApplication(window);
    }
    if (keys->keyDown[112] == 1) {
        ToggleFullscreen(window);
    }
}

BOOL Initialize(GL_Window* window, Keys* keys) {
    Fake().Record("Initialize",
                  {reinterpret_cast<intptr_t>(window), reinterpret_cast<intptr_t>(keys)});
    Log("Initialize");
    Scene().window = window;
    Scene().keys = keys;
    return Scene().initializeResult;
}

void Deinitialize() {
    Log("Deinitialize");
    Fake().Record("Deinitialize");
}

void Update(uint32_t milliseconds) {
    Log("Update " + std::to_string(milliseconds));
    Fake().Record("Update", {static_cast<intptr_t>(milliseconds)});
    if (Scene().onUpdate) {
        Scene().onUpdate(Scene().window, Scene().keys, milliseconds);
    }
}

void Draw() {
    Log("Draw");
    Fake().Record("Draw");
}

void DrawSteps(uint32_t steps) {
    Log("DrawSteps " + std::to_string(steps));
    Fake().Record("DrawSteps", {static_cast<intptr_t>(steps)});
}

void Reshape(int32_t width, int32_t height) {
    Log("Reshape " + std::to_string(width) + "x" + std::to_string(height));
    Fake().Record("Reshape", {width, height});
}

void SeedAnimation(uint32_t seed) {
    Log("SeedAnimation " + std::to_string(seed));
    Fake().Record("SeedAnimation", {static_cast<intptr_t>(seed)});
}
