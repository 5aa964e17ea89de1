// The browser's entry point: reads the page's parameters with the program's own option parser,
// sets up WebGL and the scene, and draws one frame per animation frame of the browser, with the
// program's step pacing.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

#include "common/gl.h"
#include "common/gl_window.h"
#include "scene/scene.h"
#include "shell/options.h"
#include "shell/pacing.h"
#include "shell/rate_overlay.h"
#include "shell/web/browser.h"
#include "shell/web/page_query.h"
#include "web/gl11/gl11.h"

namespace {

struct Run {
    Options options;
    PageQuery page;
    Keys keys{};
    Application application{nullptr, "OpenGL", TRUE};
    GL_Window window{};
    StepPacer pacer{0};
    RateReport overlayRates{1000};
    bool lost = false;
    uint32_t frames = 0;
    uint64_t steps = 0;
};

Run* g_run = nullptr;

void LeaveOut(const PageQuery& page) {
    switch (page.fault) {
    case PageFault::kLight:
        gl11::DropLight(page.faultLight);
        break;
    case PageFault::kGlow:
        gl11::DropTextured(true);
        break;
    case PageFault::kTraffic:
        // Flattened to nothing: the movers still step, so the rest of the city is unchanged.
        for (Moverz& m : mover) {
            m.scaleX = m.scaleY = m.scaleZ = 0.0f;
        }
        break;
    case PageFault::kNone:
        break;
    }
}

void FollowSize() {
    Run& run = *g_run;
    int32_t width = 0;
    int32_t height = 0;
    browser::DrawingSize(run.page.fixedSize ? run.options.width : 0,
                         run.page.fixedSize ? run.options.height : 0, &width, &height);
    if (width != run.window.width || height != run.window.height) {
        run.window.width = width;
        run.window.height = height;
        Reshape(width, height);
    }
}

EM_BOOL Frame(double, void*) {
    Run& run = *g_run;
    if (run.lost) {
        return EM_TRUE;
    }
    FollowSize();
    const uint32_t ticks = static_cast<uint32_t>(browser::Now());
    const uint32_t steps = run.page.stop != 0 ? run.page.stop : run.pacer.StepsFor(ticks);
    DrawSteps(steps);
    ++run.frames;
    run.steps += steps;
    if (run.options.showRates) {
        char line[128];
        run.overlayRates.FrameEnded(ticks, steps, line, sizeof line);
        const bool known = run.overlayRates.FramesPerSecond() > 0;
        DrawRateOverlayInViewport(RateOverlayText(known, run.overlayRates.FramesPerSecond(),
                                                  run.overlayRates.StepsPerSecond()));
    }
    gl11::FinishFrame();
    browser::PublishFrame(run.frames, run.steps);
    if (run.page.stop != 0 && run.steps >= run.page.stop) {
        browser::PublishPicture(run.window.width, run.window.height);
        browser::SetTitle("stopped " + std::to_string(run.page.stop));
        return EM_FALSE;
    }
    return EM_TRUE;
}

void ContextLost() {
    g_run->lost = true;
    gl11::DetachContext();
}

void ContextRestored() {
    std::string why;
    if (!browser::MakeCurrent() || !gl11::AttachContext(&why)) {
        browser::ShowMessage("The city cannot be drawn again after the graphics were reset. " +
                             why);
        return;
    }
    g_run->lost = false;
}

} // namespace

// The scene's requests. The browser keeps the page open and takes F1 itself (it must come
// straight from the user's key to be allowed full screen), so nothing is left to do here.
void TerminateApplication(GL_Window*) {}
void ToggleFullscreen(GL_Window*) {}

int main() {
    static Run run;
    g_run = &run;
    std::string error;
    if (!ParsePageQuery(browser::PageQuery(), &run.page, &error) ||
        !ParseOptions(run.page.arguments, StartContext{}, &run.options, &error)) {
        browser::ShowMessage("This page's address has a parameter it cannot use: " + error + ".");
        return 1;
    }
    if (!browser::CreateContext()) {
        browser::ShowMessage("This browser cannot show the city: it needs WebGL, which is "
                             "missing or turned off.");
        return 1;
    }
    if (!gl11::AttachContext(&error)) {
        browser::ShowMessage("This browser's WebGL cannot draw the city: " + error);
        return 1;
    }
    browser::WatchContext(ContextLost, ContextRestored);
    browser::WatchFullScreenRequests(browser::ToggleFullScreen);
    LeaveOut(run.page);

    run.window.keys = &run.keys;
    run.window.application = &run.application;
    run.window.title = "zorvik - tavrin 2005";
    run.window.bitsPerPixel = 32;
    run.window.isVisible = 1;
    browser::DrawingSize(run.page.fixedSize ? run.options.width : 0,
                         run.page.fixedSize ? run.options.height : 0, &run.window.width,
                         &run.window.height);
    Initialize(&run.window, &run.keys);
    if (run.options.seedGiven) {
        SeedAnimation(run.options.seed);
    }
    run.pacer = StepPacer(run.options.pace);
    emscripten_request_animation_frame_loop(Frame, nullptr);
    return 0;
}
