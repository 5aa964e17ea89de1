#include "scene/scene.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "common/gl.h"
#include "scene/random.h"
#include "scene/texture.h"
#include "scene/world.h"

// Construction order matters: every constructor draws from the shared random source, so the
// initial layout of the city follows from this order.
Lampje licht[kLights];
Camera Zenith[kCameras];
Floor vloer[kFloorTiles];
Cloud cloudz[kClouds];
Carz kar[kBoxes];
Moverz mover[kMovers];

GL_Window* g_window = nullptr;
Keys* g_keys = nullptr;

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyF1 = 112;

struct Material {
    GLfloat ambientAndDiffuse[4];
    GLfloat specular[4];
};

// The lights have black ambient and diffuse terms, so each pass's material decides how strongly
// its surfaces catch the lights' specular colour.
constexpr Material kGlowMaterial = {{0.9f, 0.9f, 0.9f, 0.8f}, {0.901f, 0.901f, 0.901f, 0.9f}};
constexpr Material kBoxMaterial = {{0.2f, 0.2f, 0.2f, 0.95f}, {0.4201f, 0.4201f, 0.4201f, 0.93f}};
constexpr Material kTrafficMaterial = {{0.102f, 0.102f, 0.102f, 0.3f},
                                       {0.101f, 0.101f, 0.101f, 0.6303f}};

void SetMaterial(const Material& material) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, material.ambientAndDiffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular);
}

void EnableLights() {
    glEnable(GL_LIGHTING);
    for (int i = 0; i < kLights; ++i) {
        glEnable(GL_LIGHT0 + i);
    }
    glShadeModel(GL_SMOOTH);
}

} // namespace

void DrawGlowPass() {
    SetMaterial(kGlowMaterial);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);

    glPushMatrix();
    for (Floor& tile : vloer) {
        tile.DrawFloor();
    }
    glPopMatrix();
    for (Cloud& cloud : cloudz) {
        cloud.DrawCloud();
    }

    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void DrawBoxPass() {
    SetMaterial(kBoxMaterial);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // Each box switches blending on or off for itself, with this function.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (Carz& box : kar) {
        box.DrawCarz();
    }
}

void DrawTrafficPass() {
    SetMaterial(kTrafficMaterial);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    for (Moverz& m : mover) {
        m.DrawMoverz();
    }
}

void Reshape(int32_t width, int32_t height) {
    // A framed window can be shrunk to no height at all; the aspect then takes a height of 1.
    const int32_t aspectHeight = height > 0 ? height : 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(85.0, static_cast<GLdouble>(width) / static_cast<GLdouble>(aspectHeight), 4.0,
                   100000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

BOOL Initialize(GL_Window* window, Keys* keys) {
    g_window = window;
    g_keys = keys;

    // The requested size, not the measured client area.
    Reshape(window->width, window->height);

    glEnable(GL_DEPTH_TEST);

    // The lights act through their specular term alone.
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int i = 0; i < kLights; ++i) {
        glLightfv(GL_LIGHT0 + i, GL_AMBIENT, black);
        glLightfv(GL_LIGHT0 + i, GL_DIFFUSE, black);
        glLightfv(GL_LIGHT0 + i, GL_SPECULAR, black);
    }
    EnableLights();

    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -2.0f);

    Srand(static_cast<uint32_t>(std::time(nullptr)));

    FillDegreeTables();
    // Nothing is bound yet in a new context, so the image lands in the default texture object.
    settexmap01();
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);

    for (Carz& box : kar) {
        box.SetupCarz();
    }
    return TRUE;
}

void Deinitialize() {}

void SeedAnimation(uint32_t seed) {
    Srand(seed);
}

void Update(uint32_t /*milliseconds: the animation advances per frame, not per unit of time*/) {
    if (g_keys->keyDown[kKeyEscape] == 1) {
        TerminateApplication(g_window);
    }
    if (g_keys->keyDown[kKeyF1] == 1) {
        ToggleFullscreen(g_window);
    }
}

void Draw() {
    DrawSteps(1);
}

void DrawSteps(uint32_t steps) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    if (steps == 0) {
        DrawZorvik();
    } else {
        for (uint32_t i = 1; i < steps; ++i) {
            StepZorvik();
        }
        ProcessZorvik();
    }
    glFlush();
}

void ProcessZorvik() {
    StepZorvik();
    DrawZorvik();
}

void StepZorvik() {
    Zenith[0].CalcCamera();
    for (Lampje& light : licht) {
        light.StepLampje();
    }
    // Clouds and movers each step independently of the others, so stepping them all before
    // drawing any leaves every one where stepping and drawing them in turn would.
    for (Cloud& cloud : cloudz) {
        cloud.CalcCloud();
    }
    for (Moverz& m : mover) {
        m.CalcMoverz();
    }
}

void DrawZorvik() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    const Camera& camera = Zenith[0];
    gluLookAt(camera.eyeCurrent[0], camera.eyeCurrent[1], camera.eyeCurrent[2],
              camera.lookCurrent[0], camera.lookCurrent[1], camera.lookCurrent[2], 0.0, 0.0, 1.0);

    EnableLights();
    // The view transform is loaded, so the lights are placed in world coordinates.
    for (int i = 0; i < kLights; ++i) {
        licht[i].SendLampje(i);
    }

    // The glow neither tests nor writes depth; boxes and traffic drawn later cover it.
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    DrawGlowPass();
    DrawBoxPass();
    DrawTrafficPass();

#ifndef __EMSCRIPTEN__
    // Yields the processor and caps the frame rate. Not in a browser: there a sleep is a spin on
    // the page's only thread, and the browser's animation frames pace the drawing already.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
#endif
}
