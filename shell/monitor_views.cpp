#include "shell/monitor_views.h"

#include <algorithm>

#include "common/gl.h"
#include "common/gl_window.h"
#include "shell/rate_overlay.h"

std::vector<MonitorView> PlanMonitorViews(MonitorMode mode, const std::vector<Output>& outputs,
                                          const HostRect& area, bool* blackAround) {
    *blackAround = false;
    std::vector<MonitorView> views;
    if (mode == MonitorMode::kSpan || outputs.size() <= 1) {
        return views;
    }
    for (const Output& output : outputs) {
        const HostRect& shown = output.area;
        // The part of the output inside the surface, in the surface's coordinates.
        const int32_t left = std::max(shown.x - area.x, 0);
        const int32_t top = std::max(shown.y - area.y, 0);
        const int32_t right = std::min(shown.x + shown.width - area.x, area.width);
        const int32_t bottom = std::min(shown.y + shown.height - area.y, area.height);
        if (right <= left || bottom <= top) {
            continue;
        }
        const MonitorView view{left, top, right - left, bottom - top};
        const bool primary = output.primary;
        if (mode == MonitorMode::kPrimary && !primary) {
            *blackAround = true;
            continue;
        }
        if (primary) {
            views.insert(views.begin(), view);
        } else {
            views.push_back(view);
        }
    }
    // Areas of the virtual screen that no monitor shows are never seen; nothing to clear there.
    return views;
}

void DrawMonitorViews(const std::vector<MonitorView>& views, bool blackAround, int32_t windowHeight,
                      uint32_t steps, const std::string* overlay) {
    if (blackAround) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // The scene clears what it draws into: the scissor keeps each clear to its own view.
    glEnable(GL_SCISSOR_TEST);
    for (size_t i = 0; i < views.size(); ++i) {
        const MonitorView& view = views[i];
        // OpenGL counts rows from the bottom of the window.
        const int32_t bottom = windowHeight - view.y - view.height;
        glScissor(view.x, bottom, view.width, view.height);
        Reshape(view.width, view.height);
        glViewport(view.x, bottom, view.width, view.height);
        DrawSteps(i == 0 ? steps : 0);
        if (i == 0 && overlay != nullptr) {
            DrawRateOverlayInViewport(*overlay);
        }
    }
    glDisable(GL_SCISSOR_TEST);
}
