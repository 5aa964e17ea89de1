#include "shell/linux/window_choice.h"

#include <algorithm>

#include "shell/surface_area.h"

bool ChooseWindow(const SurfaceRequest& request, const std::vector<Output>& outputs,
                  const std::vector<DisplayModeSize>& modes, WindowChoice* choice) {
    *choice = WindowChoice();
    choice->kind = request.kind;
    if (request.kind == SurfaceKind::kFullScreen) {
        const bool offered =
            std::any_of(modes.begin(), modes.end(), [&](const DisplayModeSize& mode) {
                return mode.width == request.width && mode.height == request.height;
            });
        const Output* primary = PrimaryOutput(outputs);
        if (!offered) {
            choice->box = kModeRefusedText;
            choice->kind = SurfaceKind::kWindow;
        } else if (primary != nullptr && primary->area.width == request.width &&
                   primary->area.height == request.height) {
            // The primary output has the mode already. SDL 2.26 would set it again, on the output
            // it knew first rather than the primary one; on X11 it shrinks the screen to the mode
            // meanwhile, and when it sets the desktop's mode back at the end, a monitor moved
            // since then that no longer fits is left turned off.
            choice->kind = SurfaceKind::kDesktop;
        } else {
            choice->switchMode = true;
        }
    }
    SurfaceRequest placed = request;
    placed.kind = choice->kind;
    return SurfaceArea(placed, outputs, &choice->area);
}
