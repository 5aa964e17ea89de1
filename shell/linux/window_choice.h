// What the Linux host makes for a surface request, decided from the request, the outputs as they
// are now and the display modes the system offers; the making, with SDL, is the host's.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/host.h"

struct DisplayModeSize {
    int32_t width = 0;
    int32_t height = 0;
};

struct WindowChoice {
    SurfaceKind kind = SurfaceKind::kWindow; // what is made, which may differ from the request's
    bool switchMode = false;                 // the display is switched to the area's size
    const char* box = nullptr;               // shown before the window is made
    HostRect area;                           // its place on the desktop and its size
};

// False when no window can be made for the request: the outputs it needs are not there.
bool ChooseWindow(const SurfaceRequest& request, const std::vector<Output>& outputs,
                  const std::vector<DisplayModeSize>& modes, WindowChoice* choice);
