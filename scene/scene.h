// The scene: its global objects and the frame that steps and draws them.
#pragma once

#include <cstdint>

#include "common/gl_window.h"
#include "scene/camera.h"
#include "scene/carz.h"
#include "scene/cloud.h"
#include "scene/floor.h"
#include "scene/lampje.h"
#include "scene/moverz.h"

constexpr int kLights = 4;
constexpr int kCameras = 3;
constexpr int kFloorTiles = 740;
constexpr int kClouds = 280;
constexpr int kBoxes = 6220;
constexpr int kMovers = 1400;

// Constructed before the entry point, in this order, from the unseeded random source, and never
// rebuilt: after a window is recreated everything carries on where it was.
extern Lampje licht[kLights];
extern Camera Zenith[kCameras];
extern Floor vloer[kFloorTiles];
extern Cloud cloudz[kClouds];
extern Carz kar[kBoxes];
extern Moverz mover[kMovers];

extern GL_Window* g_window;
extern Keys* g_keys;

// One step of the animation: the camera, the four lights, the clouds and the traffic each advance
// by one frame, drawing from the random source in this fixed order (camera, lights 0 to 3, movers
// 0 to 1399; the clouds draw none). No OpenGL call: it runs with or without a context.
void StepZorvik();

// Draws the city as it stands, without stepping anything: the view, the lights, the glow pass, the
// static boxes and the traffic, then the frame's short sleep.
void DrawZorvik();

// One frame: one step, then the drawing.
void ProcessZorvik();

// DrawSteps(k), a hook of the shell's contract, runs k steps and draws: exactly the frame that k
// calls of Draw() end with; with no step it draws the same state again.

// The frame's three passes, each with its own material and state; they step nothing.
void DrawGlowPass();    // ground tiles and clouds, textured and additive, without depth
void DrawBoxPass();     // the static boxes, depth-tested
void DrawTrafficPass(); // the movers
