// The scene: its global objects and the frame that steps and draws them.
#pragma once

#include "scene/camera.h"
#include "scene/carz.h"
#include "scene/cloud.h"
#include "scene/floor.h"
#include "scene/lampje.h"
#include "scene/moverz.h"
#include "shell/gl_window.h"

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

// One frame: camera, lights, the glow pass, the static boxes and the traffic.
void ProcessZorvik();

// The frame's three passes, each with its own material and state.
void DrawGlowPass();    // ground tiles and clouds, textured and additive, without depth
void DrawBoxPass();     // the static boxes, depth-tested
void DrawTrafficPass(); // steps and draws the movers
