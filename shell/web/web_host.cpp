#include "shell/web/web_host.h"

#include <emscripten/console.h>

#include "shell/web/browser.h"
#include "web/gl11/gl11.h"

WebHost::WebHost(int32_t fixedWidth, int32_t fixedHeight)
    : fixedWidth_(fixedWidth), fixedHeight_(fixedHeight) {}

void WebHost::Measure(int32_t* width, int32_t* height) const {
    browser::DrawingSize(fixedWidth_, fixedHeight_, width, height);
}

void WebHost::FollowPage() {
    if (!surfaceOpen_) {
        return;
    }
    int32_t width = 0;
    int32_t height = 0;
    Measure(&width, &height);
    if (width == width_ && height == height_) {
        return;
    }
    width_ = width;
    height_ = height;
    HostEvent event;
    event.kind = HostEventKind::kResized;
    event.surface = kCanvas;
    event.width = width;
    event.height = height;
    events_.push_back(event);
}

void WebHost::ContextLost() {
    contextLost_ = true;
    gl11::DetachContext();
}

void WebHost::ContextRestored() {
    std::string why;
    if (!browser::MakeCurrent() || !gl11::AttachContext(&why)) {
        ShowError(("The city cannot be drawn again after the graphics were reset. " + why).c_str());
        return;
    }
    contextLost_ = false;
}

int WebHost::Start(bool) {
    return 0;
}

std::vector<Output> WebHost::Outputs() {
    // The page is the program's whole screen.
    int32_t width = 0;
    int32_t height = 0;
    Measure(&width, &height);
    return {Output{1, HostRect{0, 0, width, height}, true, 0, 1.0f}};
}

SurfaceId WebHost::Create(const SurfaceRequest&, SurfaceInfo* info, std::string*) {
    if (!contextMade_) {
        std::string why;
        if (!browser::CreateContext()) {
            ShowError("This browser cannot show the city: it needs WebGL, which is missing or "
                      "turned off.");
            return 0;
        }
        if (!gl11::AttachContext(&why)) {
            ShowError(("This browser's WebGL cannot draw the city: " + why).c_str());
            return 0;
        }
        // Checked once, before the first frame: a size beyond the context's would have the
        // browser allocate, or draw, for minutes with the page frozen.
        if (fixedWidth_ > 0 && !browser::FitsContext(fixedWidth_, fixedHeight_, &why)) {
            ShowError(("This page cannot draw the city: " + why + ".").c_str());
            return 0;
        }
        contextMade_ = true;
    }
    surfaceOpen_ = true;
    Measure(&width_, &height_);
    info->fullScreen = browser::IsFullScreen();
    info->area = HostRect{0, 0, width_, height_};
    // The program sets the scene up for the size it asked for; the canvas's own follows at once.
    HostEvent event;
    event.kind = HostEventKind::kResized;
    event.surface = kCanvas;
    event.width = width_;
    event.height = height_;
    events_.push_back(event);
    return kCanvas;
}

bool WebHost::Refit(SurfaceId surface, SurfaceInfo* info) {
    if (surface != kCanvas || !surfaceOpen_) {
        return false;
    }
    info->fullScreen = browser::IsFullScreen();
    info->area = HostRect{0, 0, width_, height_};
    return true;
}

void WebHost::Destroy(SurfaceId) {
    // The canvas stays on the page; nothing draws on it until a surface is made again.
    surfaceOpen_ = false;
    events_.clear();
}

bool WebHost::MakeCurrent(SurfaceId surface) {
    return surface == kCanvas && browser::MakeCurrent();
}

void WebHost::Present(SurfaceId) {
    // The browser shows the canvas when the animation frame returns; what the layer still
    // holds must reach WebGL before that.
    gl11::FinishFrame();
    ++presents_;
}

bool WebHost::NextEvent(HostEvent* event, uint32_t) {
    // Never waits: the browser calls again at its next animation frame.
    if (events_.empty()) {
        return false;
    }
    *event = events_.front();
    events_.pop_front();
    return true;
}

void WebHost::Pause(bool paused) {
    if (paused == paused_) {
        return;
    }
    paused_ = paused;
    if (paused) {
        pausedAt_ = browser::Now();
    } else {
        pausedMs_ += browser::Now() - pausedAt_;
    }
}

uint32_t WebHost::Ticks() {
    const double now = (paused_ ? pausedAt_ : browser::Now()) - pausedMs_;
    return static_cast<uint32_t>(static_cast<uint64_t>(now));
}

void WebHost::ShowError(const char* text) {
    emscripten_console_error(text);
    // The first reason is the one that says what went wrong; the program's own summary follows.
    if (!errorShown_) {
        errorShown_ = true;
        browser::ShowMessage(text);
    }
}
