// The recording scene hooks. See recording_scene.h.
#include "tests/support/recording_scene.h"

#include "shell/platform_fake.h"

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
    Scene().window = window;
    Scene().keys = keys;
    return Scene().initializeResult;
}

void Deinitialize() {
    Fake().Record("Deinitialize");
}

void Update(uint32_t milliseconds) {
    Fake().Record("Update", {static_cast<intptr_t>(milliseconds)});
    if (Scene().onUpdate) {
        Scene().onUpdate(Scene().window, Scene().keys, milliseconds);
    }
}

void Draw() {
    Fake().Record("Draw");
}

void DrawSteps(uint32_t steps) {
    Fake().Record("DrawSteps", {static_cast<intptr_t>(steps)});
}

void Reshape(int32_t width, int32_t height) {
    Fake().Record("Reshape", {width, height});
}

void SeedAnimation(uint32_t seed) {
    Fake().Record("SeedAnimation", {static_cast<intptr_t>(seed)});
}
