// A full-screen saver's window covers every monitor; how the city is laid out on them. One view
// stretched over monitors of different places and shapes puts the centre of the picture on a
// seam and widens the field of view until the edges smear, so by default each monitor gets a
// view of its own, at its own shape: the city steps once per frame, drawn again for each further
// monitor without a step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/host.h"
#include "shell/options.h"

// A view's place in the window's client area, from its top-left corner.
struct MonitorView {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// The views for a surface covering `area` of the desktop, over these outputs: empty when one view
// of the whole surface is right (span, or a single output). The primary output's view comes
// first. `blackAround` is set when parts of the surface are in no view and must be cleared.
std::vector<MonitorView> PlanMonitorViews(MonitorMode mode, const std::vector<Output>& outputs,
                                          const HostRect& area, bool* blackAround);

// Draws a frame of `steps` steps into each view (the first one steps, the others draw the same
// state), in a window of this height; clears the window first when parts of it are in no view.
// A rate overlay, when given, goes into the primary monitor's view.
void DrawMonitorViews(const std::vector<MonitorView>& views, bool blackAround, int32_t windowHeight,
                      uint32_t steps, const std::string* overlay);
