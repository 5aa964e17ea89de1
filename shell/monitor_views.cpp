#include "shell/monitor_views.h"

#include <algorithm>

#include "common/gl.h"

namespace {

// MONITORINFOF_PRIMARY. Spelled here, since the platform's constants header cannot share a file
// with <windows.h>, which common/gl.h brings in on Windows.
constexpr uint32_t kPrimaryMonitor = 1;

} // namespace

std::vector<MonitorView> PlanMonitorViews(MonitorMode mode, const PlatformMonitor* monitors,
                                          int32_t count, int32_t originX, int32_t originY,
                                          int32_t width, int32_t height, bool* blackAround) {
    *blackAround = false;
    std::vector<MonitorView> views;
    if (mode == MonitorMode::kSpan || count <= 1) {
        return views;
    }
    for (int32_t i = 0; i < count; ++i) {
        const PlatformRect& area = monitors[i].rcMonitor;
        // The part of the monitor inside the window, in the window's coordinates.
        const int32_t left = std::max(area.left - originX, 0);
        const int32_t top = std::max(area.top - originY, 0);
        const int32_t right = std::min(area.right - originX, width);
        const int32_t bottom = std::min(area.bottom - originY, height);
        if (right <= left || bottom <= top) {
            continue;
        }
        const MonitorView view{left, top, right - left, bottom - top};
        const bool primary = (monitors[i].dwFlags & kPrimaryMonitor) != 0;
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
                      uint32_t steps) {
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
    }
    glDisable(GL_SCISSOR_TEST);
}
