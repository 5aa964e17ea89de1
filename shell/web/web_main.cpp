// The browser's entry point. The page's parameters become the program's command line and go
// through its own option parser and run plan; the program then runs over the browser's host, one
// turn per animation frame. A stopped page (stop=N) draws zorvik-capture's frame N instead: the
// scene driven directly, as the capture tool drives it.
//
// While the page is paused (by a wallpaper program, or out of sight) the loop of animation frames
// is off: no frame, no step, no wake-up until it goes on.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <string>

#include "common/gl_window.h"
#include "common/scene_record.h"
#include "scene/scene.h"
#include "shell/options.h"
#include "shell/program.h"
#include "shell/run_plan.h"
#include "shell/web/browser.h"
#include "shell/web/page_query.h"
#include "shell/web/web_host.h"
#include "web/gl11/gl11.h"

namespace {

WebHost* g_host = nullptr;
Program* g_program = nullptr;
bool g_looping = false; // the loop of animation frames is on
bool g_over = false;

#ifdef ZORVIK_PAGE_TESTS
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
#endif

EM_BOOL AnimationFrame(double, void*) {
    WebHost& host = *g_host;
    if (host.paused()) {
        g_looping = false;
        return EM_FALSE;
    }
    if (host.contextLost()) {
        return EM_TRUE; // the browser restores it; the city waits where it was
    }
    host.FollowPage();
    const uint32_t presented = host.presents();
    // One turn takes every event waiting and draws the frame if one is due; the limiter may hold
    // it back, or nothing be in sight, and the next animation frame tries again.
    if (!g_program->Frame()) {
        g_program->End();
        g_looping = false;
        g_over = true;
        return EM_FALSE;
    }
    if (host.presents() != presented) {
        browser::PublishFrame(host.presents(), g_program->steps());
    }
    return EM_TRUE;
}

void Loop() {
    if (!g_looping && !g_over) {
        g_looping = true;
        emscripten_request_animation_frame_loop(AnimationFrame, nullptr);
    }
}

void ContextLost() {
    g_host->ContextLost();
}

void ContextRestored() {
    g_host->ContextRestored();
}

void ToggleFullScreen() {
    browser::ToggleFullScreen();
}

// A stopped page's steps before its frame, taken a slice per animation frame: a large stop takes
// seconds of stepping, which in one go would freeze the page with nothing shown.
constexpr uint32_t kStepsPerSlice = 4000;

struct StoppedFrame {
    uint32_t steps = 0; // the frame to draw: zorvik-capture's frame `steps`
    uint32_t stepped = 0;
    int32_t width = 0;
    int32_t height = 0;
};
StoppedFrame g_stopped;

// DrawSteps(k) is k - 1 steps, then one more step and the drawing: the steps before the last are
// taken here, in slices, and the last frame is exactly the one DrawSteps(k) draws.
EM_BOOL StepTowardsStop(double, void*) {
    StoppedFrame& stop = g_stopped;
    const uint32_t before = stop.steps - 1;
    const uint32_t slice = std::min(kStepsPerSlice, before - stop.stepped);
    for (uint32_t i = 0; i < slice; ++i) {
        StepZorvik();
    }
    stop.stepped += slice;
    if (stop.stepped < before) {
        const unsigned percent = static_cast<unsigned>(100.0 * stop.stepped / before);
        browser::SetTitle("stopping at " + std::to_string(stop.steps) + ": " +
                          std::to_string(percent) + "%");
        return EM_TRUE;
    }
    DrawSteps(1);
    gl11::FinishFrame();
    browser::PublishFrame(1, stop.steps);
    browser::PublishPicture(stop.width, stop.height);
    browser::SetTitle("stopped " + std::to_string(stop.steps));
    return EM_FALSE;
}

// zorvik-capture's frame `steps`, drawn once at the page's fixed size.
int DrawStoppedFrame(const Options& options, uint32_t steps) {
    if (!browser::CreateContext()) {
        browser::ShowMessage("This browser cannot show the city: it needs WebGL.");
        return 1;
    }
    std::string why;
    if (!gl11::AttachContext(&why)) {
        browser::ShowMessage("This browser's WebGL cannot draw the city: " + why);
        return 1;
    }
    if (!browser::FitsContext(options.width, options.height, &why)) {
        browser::ShowMessage("This page cannot draw the city: " + why + ".");
        return 1;
    }
    static Keys keys{};
    static Application application{nullptr, "OpenGL", TRUE};
    static GL_Window window{};
    int32_t width = 0, height = 0;
    browser::DrawingSize(options.width, options.height, &width, &height);
    FillSceneRecords(&window, &keys, &application, width, height);
    Initialize(&window, &keys);
    if (options.seedGiven) {
        SeedAnimation(options.seed);
    }
    g_stopped = StoppedFrame{steps, 0, window.width, window.height};
    emscripten_request_animation_frame_loop(StepTowardsStop, nullptr);
    return 0;
}

} // namespace

// The page's calls, once browser::Started() has told it that the program runs.
extern "C" EMSCRIPTEN_KEEPALIVE void zorvik_pause(int paused) {
    g_host->Pause(paused != 0);
    if (paused == 0) {
        Loop();
    }
}

extern "C" EMSCRIPTEN_KEEPALIVE void zorvik_retune(int stepsPerSecond, int showRates, int maxFps) {
    g_program->Retune(static_cast<uint32_t>(stepsPerSecond), showRates != 0,
                      static_cast<uint32_t>(maxFps));
}

int main() {
    PageQuery page;
    Options options;
    std::string error;
    if (!ParsePageQuery(browser::PageQuery(), &page, &error) ||
        !ParseOptions(page.arguments, StartContext{}, &options, &error)) {
        browser::ShowMessage("This page's address has a parameter it cannot use: " + error + ".");
        return 1;
    }
#ifdef ZORVIK_PAGE_TESTS
    LeaveOut(page);
#endif
    if (page.stop != 0) {
        return DrawStoppedFrame(options, page.stop);
    }
    static WebHost host(page.fixedSize ? options.width : 0, page.fixedSize ? options.height : 0);
    static Program program(host, PlanRun(options, host.StoredSaverSettings()));
    g_host = &host;
    g_program = &program;
    browser::WatchContext(ContextLost, ContextRestored);
    browser::WatchFullScreenRequests(ToggleFullScreen);
    if (!program.Begin()) {
        return program.End();
    }
    Loop();
    browser::Started();
    return 0;
}
