// The surface of a window drawn inside another program's X window: a child made there with Xlib
// and GLX, filling the host and following it, on a display connection of its own.
#include <cstdio>

#include "shell/platform_constants.h"
#include "shell/platform_surface.h"
#include "shell/x11_host_window.h"

namespace {

bool Show(LinuxWindow* window, bool show) {
    const bool wasShown = window->shown;
    window->shown = show;
    if (!show) {
        if (window->hostChild != 0) {
            x11host::HideChild(window->hostChild);
        }
    } else if (!wasShown) {
        SendSizeMessage(window, SIZE_RESTORED, window->clientWidth, window->clientHeight);
    }
    return wasShown;
}

void Destroy(LinuxWindow* window) {
    if (window->hostChild != 0) {
        x11host::DestroyChild(window->hostChild);
        window->hostChild = 0;
    }
}

void Move(LinuxWindow* window, int32_t, int32_t, int32_t width, int32_t height) {
    // Always at the host's top-left corner, which it fills.
    if (window->hostChild != 0) {
        x11host::ResizeChild(window->hostChild, width, height);
    }
}

bool IsVisible(const LinuxWindow* window) {
    return window->shown && x11host::IsShown(window->host);
}

bool SetPixelFormat(LinuxWindow* window, const PlatformPixelFormat& format) {
    if (window->hostChild != 0) {
        return false;
    }
    std::string error;
    window->hostChild =
        x11host::CreateChild(window->host, window->clientWidth, window->clientHeight,
                             format.cDepthBits, format.cAlphaBits, &error);
    if (window->hostChild == 0) {
        std::fprintf(stderr, "zorvik: %s\n", error.c_str());
        return false;
    }
    return true;
}

RenderContextHandle CreateContext(LinuxWindow* window) {
    std::string error;
    void* context = x11host::CreateContext(window->hostChild, &error);
    if (context == nullptr) {
        std::fprintf(stderr, "zorvik: cannot create an OpenGL context: %s\n", error.c_str());
    }
    return static_cast<RenderContextHandle>(context);
}

bool MakeCurrent(LinuxWindow* window, RenderContextHandle context) {
    return x11host::MakeCurrent(window->hostChild, context);
}

bool DeleteContext(RenderContextHandle context) {
    if (!x11host::IsContext(context)) {
        return false;
    }
    x11host::DeleteContext(context);
    return true;
}

bool SetSwapInterval(LinuxWindow* window, int32_t interval) {
    return x11host::SetSwapInterval(window->hostChild, interval);
}

void SwapBuffers(LinuxWindow* window) {
    x11host::SwapBuffers(window->hostChild);
}

} // namespace

const SurfaceOps kX11HostSurface = {
    false,          Show,          Destroy,     Move,          IsVisible,
    SetPixelFormat, CreateContext, MakeCurrent, DeleteContext, SetSwapInterval,
    SwapBuffers,
};
