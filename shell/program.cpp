// The program's loops over a host: surfaces are opened for the plan, the scene is initialised on
// them, and frames run whenever no event is waiting; F1 closes the surfaces and opens them again
// in the other mode while the city carries on.
#include "shell/program.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/gl.h"
#include "common/scene_record.h"
#include "shell/rate_overlay.h"

BOOL g_isProgramLooping;
BOOL g_createFullScreen;

namespace {

constexpr int kExitSurfaceFailed = 1;
constexpr int32_t kDefaultWidth = 1280;
constexpr int32_t kDefaultHeight = 720;
// A display that names no refresh rate is taken to show 60 frames a second.
constexpr int32_t kAssumedRefreshRate = 60;
// Waiting for an event with nothing to draw: as long as the host likes.
constexpr uint32_t kWaitLong = 0xFFFFFFFFu;
// Changes of the outputs come in bursts: they are followed once none has come for this long, and
// the pointer's moves and focus changes for a while after the last are the change's, not a user's.
constexpr uint32_t kOutputsSettleMs = 300;
constexpr uint32_t kOutputsNoiseMs = 1500;
// How often a wallpaper looks whether the machine runs on battery: a plug pulled is followed
// within this time, and reading the power supply costs next to nothing at this rate.
constexpr uint32_t kPowerCheckMs = 5000;
// A saver's focus that comes back within this time was never the user's to take.
constexpr uint32_t kFocusGraceMs = 250;
// How far the pointer may drift before a screen saver takes it as the user's hand: a desk that
// shakes, or a mouse that reports its first position late, should not end it.
constexpr int32_t kPointerSlack = 8;

// The run the scene's requests reach.
Program* g_running = nullptr;

} // namespace

void TerminateApplication(GL_Window*) {
    if (g_running != nullptr) {
        g_running->RequestEnd();
    }
}

void ToggleFullscreen(GL_Window*) {
    if (g_running != nullptr) {
        g_running->RequestToggle();
    }
}

Program::Program(Host& host, const RunPlan& plan)
    : host_(host), plan_(plan), paced_(plan.stepsPerSecond != 0), pacer_(plan.stepsPerSecond),
      limited_(plan.maxFps != 0), limiter_(plan.maxFps),
      overlayText_(RateOverlayText(false, 0, 0)) {
    // Sized by the first surface, once it is made.
    FillSceneRecords(&window_, &keys_, nullptr, 0, 0);
}

int RunZorvik(Host& host, const Options& options) {
    Program program(host, PlanRun(options, host.StoredSaverSettings()));
    return program.Run();
}

int Program::Run() {
    if (Begin()) {
        while (Frame()) {
        }
    }
    return End();
}

bool Program::Begin() {
    if (plan_.placement == Placement::kNone) {
        exitCode_ = host_.EditSaverSettings(plan_.host);
        over_ = true;
        return false;
    }
    exitCode_ = host_.Start(plan_.quiet);
    if (exitCode_ != 0) {
        over_ = true;
        return false;
    }
    g_running = this;
    open_ = true;
    g_isProgramLooping = TRUE;
    g_createFullScreen = plan_.startsFullScreen ? TRUE : FALSE;
    return Open();
}

int Program::End() {
    if (!surfaces_.empty()) {
        Close();
    }
    if (open_) {
        host_.Finish();
        open_ = false;
    }
    if (g_running == this) {
        g_running = nullptr;
    }
    return exitCode_;
}

void Program::RequestEnd() {
    // The desktop comes back at once: the frame in progress and the teardown follow out of sight,
    // and a saver is gone the moment it is told to go.
    for (const Surface& surface : surfaces_) {
        host_.Hide(surface.id);
    }
    cycleOver_ = true;
    g_isProgramLooping = FALSE;
}

void Program::RequestToggle() {
    // Only the plain animation has another mode to switch to.
    if (plan_.placement != Placement::kScreen || cycleOver_) {
        return;
    }
    g_createFullScreen = g_createFullScreen == TRUE ? FALSE : TRUE;
    cycleOver_ = true;
}

// Opens the surfaces for the plan and hands them to the scene. False when the run is over.
bool Program::Open() {
    cycleOver_ = false;
    keyPressedSinceFrame_ = false;
    watch_.pointerKnown = false;
    std::memset(keys_.keyDown, 0, sizeof keys_.keyDown);
    if (!OpenSurfaces()) {
        g_isProgramLooping = FALSE;
        over_ = true;
        return false;
    }
    PrepareFrames();
    window_.lastTickCount = host_.Ticks();
    if (Initialize(&window_, &keys_) == FALSE) {
        RequestEnd();
        return true;
    }
    if (plan_.seedGiven) {
        SeedAnimation(plan_.seed);
    }
    return true;
}

void Program::Close() {
    Deinitialize();
    CloseSurfaces();
}

bool Program::OpenSurfaces() {
    SurfaceRequest request;
    request.keepsDisplayAwake = plan_.keepsDisplayAwake;
    switch (plan_.placement) {
    case Placement::kScreen:
        request.width = plan_.width;
        request.height = plan_.height;
        if (g_createFullScreen == TRUE) {
            request.kind = plan_.desktopSize ? SurfaceKind::kDesktop : SurfaceKind::kFullScreen;
        } else if (plan_.desktopSize) {
            // A window as large as the screen would not fit inside it with its frame.
            request.width = kDefaultWidth;
            request.height = kDefaultHeight;
        }
        break;
    case Placement::kEveryMonitor:
        request.kind = SurfaceKind::kSpan;
        break;
    case Placement::kBackground:
        if (plan_.monitors == MonitorMode::kSpan && host_.CanSpanOutputs()) {
            request.kind = SurfaceKind::kBackground; // output 0: across them all
            return OpenSurface(request);
        }
        if (!CoverOutputs(true)) {
            CloseSurfaces();
            return false;
        }
        // No output at all: the failure is the host's to name.
        request.kind = SurfaceKind::kBackground;
        return !surfaces_.empty() || OpenSurface(request);
    case Placement::kChild:
        request.kind = SurfaceKind::kChild;
        request.hostWindow = plan_.host;
        request.hostMustBeOrdinary = plan_.hostMustBeOrdinary;
        break;
    case Placement::kNone:
        return false;
    }
    request.hidesPointer = request.kind != SurfaceKind::kWindow &&
                           request.kind != SurfaceKind::kChild &&
                           request.kind != SurfaceKind::kBackground;
    if (request.kind != SurfaceKind::kSpan || host_.CanSpanOutputs()) {
        return OpenSurface(request);
    }
    // Where no surface can cover several outputs, each gets a full-screen surface of its own.
    if (!CoverOutputs(true)) {
        CloseSurfaces();
        return false;
    }
    request.kind = SurfaceKind::kOutput;
    return !surfaces_.empty() || OpenSurface(request);
}

// A surface for every output that has none: a saver's full screen, or a wallpaper's background;
// in "primary" only the primary one's shows the city. False when one could not be made and
// `failureEndsRun`, the reason shown; else an output left uncovered may be covered at its next
// change.
bool Program::CoverOutputs(bool failureEndsRun) {
    SurfaceRequest request;
    const bool background = plan_.placement == Placement::kBackground;
    request.kind = background ? SurfaceKind::kBackground : SurfaceKind::kOutput;
    request.hidesPointer = !background;
    request.keepsDisplayAwake = plan_.keepsDisplayAwake;
    const std::vector<Output> outputs = host_.Outputs();
    for (const Output& output : outputs) {
        const bool covered = std::any_of(surfaces_.begin(), surfaces_.end(), [&](const Surface& s) {
            return s.request.output == output.id;
        });
        request.output = output.id;
        if (covered) {
            continue;
        }
        if (!OpenSurface(request, failureEndsRun)) {
            if (failureEndsRun) {
                return false;
            }
            continue;
        }
    }
    ChooseCityOutputs(outputs);
    return true;
}

// In "primary" only the primary output's surface shows the city, the others black. Which output
// that is can change with the outputs (the first one gone, another made primary), so it is
// chosen again after every change.
void Program::ChooseCityOutputs(const std::vector<Output>& outputs) {
    for (Surface& surface : surfaces_) {
        if (surface.request.kind != SurfaceKind::kOutput &&
            (surface.request.kind != SurfaceKind::kBackground || surface.request.output == 0)) {
            continue;
        }
        const auto output = std::find_if(outputs.begin(), outputs.end(), [&](const Output& o) {
            return o.id == surface.request.output;
        });
        surface.drawsCity =
            plan_.monitors != MonitorMode::kPrimary || (output != outputs.end() && output->primary);
    }
}

bool Program::OpenSurface(const SurfaceRequest& request, bool reportFailure) {
    Surface surface;
    std::string why;
    surface.id = host_.Create(request, &surface.info, &why);
    if (surface.id == 0) {
        if (!reportFailure) {
            return false;
        }
        if (!why.empty()) {
            char text[200];
            std::snprintf(text, sizeof text, "window 0x%llx: %s",
                          static_cast<unsigned long long>(request.hostWindow), why.c_str());
            host_.ShowError(text);
        } else {
            host_.ShowError("Error Creating OpenGL Window");
        }
        exitCode_ = kExitSurfaceFailed;
        return false;
    }
    surface.request = request;
    surfaces_.push_back(surface);
    TellSize(surface);
    if (surfaces_.size() == 1) {
        // The scene's record describes the first surface: the size it sets its view up for.
        window_.width = surface.info.area.width;
        window_.height = surface.info.area.height;
        window_.isFullScreen = surface.info.fullScreen ? TRUE : FALSE;
        window_.isVisible = TRUE;
        if (request.kind == SurfaceKind::kFullScreen && !surface.info.fullScreen) {
            // The requested size, not the measured one: a refused mode switch leaves a window
            // whose drawing area is smaller, and the scene still sets its view up for this.
            window_.width = request.width;
            window_.height = request.height;
        }
    }
    return true;
}

void Program::CloseSurfaces() {
    // The newest first, so that the context's first surface goes last.
    while (!surfaces_.empty()) {
        host_.Destroy(surfaces_.back().id);
        surfaces_.pop_back();
    }
}

// What the plan asks of new surfaces' frames: the swap interval, at most one frame per display
// refresh, and the outputs' views.
void Program::PrepareFrames() {
    if (plan_.swapInterval >= 0) {
        host_.SetSwapInterval(plan_.swapInterval);
    }
    const bool spanning =
        host_.CanSpanOutputs() &&
        (plan_.placement == Placement::kEveryMonitor ||
         (plan_.placement == Placement::kBackground && plan_.monitors == MonitorMode::kSpan));
    if (!plan_.limitsToRefresh && !spanning) {
        return;
    }
    const std::vector<Output> outputs = host_.Outputs();
    if (plan_.limitsToRefresh) {
        // Drivers that ignore the swap interval would otherwise draw as fast as they can.
        int32_t refresh = 0;
        for (const Output& output : outputs) {
            if (output.primary || refresh == 0) {
                refresh = output.refreshHz;
            }
        }
        limited_ = true;
        limiter_ = FrameLimiter(static_cast<uint32_t>(refresh > 0 ? refresh : kAssumedRefreshRate));
        hasNextFrameTick_ = false;
    }
    if (spanning) {
        for (Surface& surface : surfaces_) {
            surface.views =
                PlanMonitorViews(plan_.monitors, outputs, surface.info.area, &surface.blackAround);
        }
    }
}

Program::Surface* Program::Find(SurfaceId id) {
    auto it = std::find_if(surfaces_.begin(), surfaces_.end(),
                           [id](const Surface& surface) { return surface.id == id; });
    return it != surfaces_.end() ? &*it : nullptr;
}

bool Program::AnyVisible() const {
    return std::any_of(surfaces_.begin(), surfaces_.end(),
                       [](const Surface& surface) { return surface.visible; });
}

// Whether a surface in sight is ready for a frame: until one is, the host's word is awaited.
bool Program::AnyFrameWanted() const {
    return std::any_of(surfaces_.begin(), surfaces_.end(), [this](const Surface& surface) {
        return surface.visible && host_.FrameWanted(surface.id);
    });
}

// Whether frames are to be drawn: something is in sight, and no battery says to wait.
bool Program::Drawing() const {
    return AnyVisible() && !(onBattery_ && plan_.onBattery == BatteryPolicy::kPause);
}

// Every few seconds, where the plan acts on battery power: whether the machine runs on it, and
// the frame rate that goes with that.
void Program::CheckPower() {
    if (plan_.onBattery == BatteryPolicy::kRun) {
        return;
    }
    const uint32_t now = host_.Ticks();
    if (powerChecked_ && now - powerCheckedAt_ < kPowerCheckMs) {
        return;
    }
    powerChecked_ = true;
    powerCheckedAt_ = now;
    const bool battery = host_.OnBattery();
    if (battery == onBattery_) {
        return;
    }
    onBattery_ = battery;
    if (plan_.onBattery == BatteryPolicy::kSlow) {
        const uint32_t fps = battery ? kSlowOnBatteryFps : plan_.maxFps;
        limited_ = fps != 0;
        limiter_ = FrameLimiter(fps);
        hasNextFrameTick_ = false;
    }
}

const Program::Surface* Program::Find(SurfaceId id) const {
    return const_cast<Program*>(this)->Find(id);
}

// Where a pointer event happened on the desktop, so that surfaces of several outputs agree.
void Program::DesktopPoint(const HostEvent& event, int32_t* x, int32_t* y) const {
    const Surface* surface = Find(event.surface);
    *x = event.x + (surface != nullptr ? surface->info.area.x : 0);
    *y = event.y + (surface != nullptr ? surface->info.area.y : 0);
}

// Whether an event is the user's input that ends a full-screen screen saver: a key, a button, or
// a move of the pointer beyond the slack from where it was first seen. (The loss of the focus
// ends it too, once the grace for its return is over.) While outputs change (`quiet`) the
// pointer's moves are the change's.
bool Program::EndsTheSaver(const HostEvent& event, bool quiet) const {
    switch (event.kind) {
    case HostEventKind::kKey:
        return event.down;
    case HostEventKind::kPointerButton:
        return true;
    case HostEventKind::kPointerMove: {
        if (quiet || !watch_.pointerKnown) {
            return false;
        }
        int32_t x = 0, y = 0;
        DesktopPoint(event, &x, &y);
        return std::abs(x - watch_.pointerX) > kPointerSlack ||
               std::abs(y - watch_.pointerY) > kPointerSlack;
    }
    default:
        return false;
    }
}

// What a saver keeps of input that did not end it: the pointer's first place, a lost focus.
void Program::WatchSaverInput(const HostEvent& event, bool quiet) {
    if (event.kind == HostEventKind::kFocusLost && !quiet) {
        watch_.focusLost = true;
        watch_.focusLostAt = host_.Ticks();
    } else if (event.kind == HostEventKind::kPointerMove) {
        if (quiet) {
            watch_.pointerKnown = false;
        } else if (!watch_.pointerKnown) {
            watch_.pointerKnown = true;
            DesktopPoint(event, &watch_.pointerX, &watch_.pointerY);
        }
    }
}

void Program::Handle(const HostEvent& event) {
    if (plan_.endsOnInput) {
        // Only these two are judged differently while outputs change.
        const bool watched =
            event.kind == HostEventKind::kPointerMove || event.kind == HostEventKind::kFocusLost;
        const bool quiet = watched && Quiet();
        if (EndsTheSaver(event, quiet)) {
            RequestEnd();
            return;
        }
        if (watched && !quiet) {
            settling_.noisy = false; // its time is over: the clock need not be read again
        }
        WatchSaverInput(event, quiet);
    }
    Surface* surface = Find(event.surface);
    if (!plan_.takesInput &&
        (event.kind == HostEventKind::kKey || event.kind == HostEventKind::kCloseRequested)) {
        // A background's keys are the windows' above it, and a window manager's request to close
        // it is no user's: only the ending signals end it.
        return;
    }
    switch (event.kind) {
    case HostEventKind::kKey:
        // A child (a preview, a saver host's window) leaves the keyboard to its host, and keys
        // pressed with Alt are the system's.
        if (plan_.placement == Placement::kChild || event.withAlt) {
            break;
        }
        // The scene reads the key table once per frame, so a key pressed and released while
        // one frame renders would be set and cleared before any frame saw it: on a slow renderer
        // a quick tap of Esc or F1 would do nothing. Such a release waits for one frame.
        if (!event.down && keyPressedSinceFrame_ && AnyVisible()) {
            RunFrame();
        }
        keys_.keyDown[event.key] = event.down ? TRUE : FALSE;
        if (event.down) {
            keyPressedSinceFrame_ = true;
        }
        break;
    case HostEventKind::kResized:
        if (surface != nullptr) {
            surface->visible = true;
            surface->info.area.width = event.width;
            surface->info.area.height = event.height;
            TellSize(*surface);
            if (surface == &surfaces_.front()) {
                window_.width = event.width;
                window_.height = event.height;
            }
            // The scene's own view for the new shape.
            Reshape(event.width, event.height);
        }
        break;
    case HostEventKind::kHidden:
    case HostEventKind::kShown:
        if (surface != nullptr) {
            const bool visible = event.kind == HostEventKind::kShown;
            if (plan_.reportsRates && plan_.placement == Placement::kBackground &&
                visible != surface->visible) {
                // A wallpaper's surfaces come and go from sight all day: when one stops costing
                // anything, and when it starts again.
                std::fprintf(stderr, "zorvik: surface %u %s\n", static_cast<unsigned>(surface->id),
                             visible ? "in sight" : "out of sight");
                std::fflush(stderr);
            }
            surface->visible = visible;
        }
        break;
    case HostEventKind::kFocusGained:
        watch_.focusLost = false;
        break;
    case HostEventKind::kOutputsChanged:
        settling_.pending = true;
        settling_.noisy = true;
        settling_.changedAt = host_.Ticks();
        break;
    case HostEventKind::kCloseRequested:
    case HostEventKind::kHostGone:
    case HostEventKind::kQuitSignal:
        RequestEnd();
        break;
    default:
        break;
    }
}

// How long the limiter still holds the next frame back; 0 when it may start now.
uint32_t Program::TimeBeforeNextFrame() {
    if (!limited_ || !hasNextFrameTick_ || keyPressedSinceFrame_) {
        // A key goes to the scene in the next frame, which the limiter does not hold back.
        return 0;
    }
    // Signed: the tick counter may wrap between the two readings.
    const int32_t early = static_cast<int32_t>(nextFrameTick_ - host_.Ticks());
    return early > 0 ? static_cast<uint32_t>(early) : 0;
}

bool Program::Frame() {
    if (over_) {
        return false;
    }
    if (cycleOver_) {
        Close();
        if (g_isProgramLooping == FALSE) {
            over_ = true;
            return false;
        }
        return Open();
    }
    const uint32_t now = watch_.focusLost || settling_.pending ? host_.Ticks() : 0;
    if (watch_.focusLost && now - watch_.focusLostAt >= kFocusGraceMs) {
        RequestEnd();
        return true;
    }
    if (settling_.pending && now - settling_.changedAt >= kOutputsSettleMs) {
        FollowOutputs();
        return true;
    }
    // Every waiting event, the first of them waited for while nothing is due: with nothing in
    // sight, until something happens; the limiter's wait is a wait for input too, so that a key
    // is acted on at once. A request to end or to switch modes leaves the rest to the surfaces
    // that follow.
    CheckPower();
    HostEvent event;
    const bool drawing = Drawing() && AnyFrameWanted();
    for (uint32_t wait = TimeToNextDeadline(drawing ? TimeBeforeNextFrame() : kWaitLong);
         host_.NextEvent(&event, wait); wait = 0) {
        Handle(event);
        if (cycleOver_) {
            return true;
        }
    }
    if (!Drawing()) {
        // A background out of sight (covered, its outputs off, on battery) stands still; the other
        // modes' cities are told the time away when they are seen again, as the animation always
        // was.
        paused_ = plan_.placement == Placement::kBackground;
        return true;
    }
    if (TimeBeforeNextFrame() > 0 || !AnyFrameWanted()) {
        // The steps wait too: they go to the frame that is drawn.
        return true;
    }
    RunFrame();
    return true;
}

// One frame: the scene steps once and is drawn into every view, and the pictures are shown.
void Program::RunFrame() {
    const uint32_t tickCount = host_.Ticks();
    if (paused_) {
        // The background was out of sight: the city stood still, and goes on from where it was
        // rather than racing through the steps of the time it was not seen.
        paused_ = false;
        pacer_ = StepPacer(plan_.stepsPerSecond);
        window_.lastTickCount = tickCount;
    }
    // Unsigned subtraction: a wrap of the tick counter still gives the true difference.
    Update(tickCount - window_.lastTickCount);
    window_.lastTickCount = tickCount;
    const uint32_t steps = pacer_.StepsFor(tickCount);
    bool stepped = false;
    for (Surface& surface : surfaces_) {
        if (!surface.visible || !host_.FrameWanted(surface.id)) {
            continue;
        }
        ++surface.frames;
        const bool several = surfaces_.size() > 1;
        if (several) {
            host_.MakeCurrent(surface.id);
        }
        const std::string* overlay = !stepped && plan_.showRates ? &overlayText_ : nullptr;
        if (!surface.drawsCity) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else if (!surface.views.empty()) {
            DrawMonitorViews(surface.views, surface.blackAround, surface.info.area.height,
                             stepped ? 0 : steps, overlay);
            stepped = true;
        } else {
            if (several) {
                // Each output's view at its own shape.
                Reshape(surface.info.area.width, surface.info.area.height);
            }
            if (stepped) {
                DrawSteps(0); // another output's view of the same state
            } else if (paced_) {
                DrawSteps(steps);
            } else {
                Draw();
            }
            if (overlay != nullptr) {
                DrawRateOverlayInViewport(*overlay);
            }
            stepped = true;
        }
        host_.Present(surface.id);
    }
    keyPressedSinceFrame_ = false;
    steps_ += paced_ ? steps : 1;
    ReportRates(steps);
}

void Program::Retune(uint32_t stepsPerSecond, bool showRates, uint32_t maxFps) {
    if (stepsPerSecond != plan_.stepsPerSecond) {
        plan_.stepsPerSecond = stepsPerSecond;
        paced_ = stepsPerSecond != 0;
        pacer_ = StepPacer(stepsPerSecond);
    }
    if (maxFps != plan_.maxFps) {
        plan_.maxFps = maxFps;
        limited_ = maxFps != 0;
        limiter_ = FrameLimiter(maxFps);
        hasNextFrameTick_ = false;
    }
    plan_.showRates = showRates;
}

void Program::ReportRates(uint32_t steps) {
    if (!limited_ && !plan_.reportsRates && !plan_.showRates) {
        return;
    }
    const uint32_t frameEnd = host_.Ticks();
    char line[160];
    if (plan_.showRates && overlayRates_.FrameEnded(frameEnd, steps, line, sizeof line)) {
        overlayText_ =
            RateOverlayText(true, overlayRates_.FramesPerSecond(), overlayRates_.StepsPerSecond());
    }
    if (plan_.reportsRates && report_.FrameEnded(frameEnd, steps, line, sizeof line)) {
        std::fprintf(stderr, "%s\n", line);
        if (plan_.placement == Placement::kBackground) {
            // What each output's surface has cost: one covered or off draws nothing.
            std::string counts = "zorvik: frames drawn by surface:";
            for (const Surface& surface : surfaces_) {
                counts += " " + std::to_string(surface.id) + "=" + std::to_string(surface.frames);
            }
            std::fprintf(stderr, "%s\n", counts.c_str());
        }
        std::fflush(stderr);
    }
    if (limited_) {
        nextFrameTick_ = frameEnd + limiter_.WaitAfterFrame(frameEnd);
        hasNextFrameTick_ = true;
    }
}

// With --stats, the size each surface draws at, in pixels, and its buffer scale: at an output
// scale of 2 it is the output's own resolution, not the desktop's units; at a fractional scale
// the buffer scale is the next whole number and the compositor scales the picture down.
void Program::TellSize(const Surface& surface) {
    if (plan_.reportsRates) {
        std::fprintf(stderr, "zorvik: surface %u draws at %dx%d, buffer scale %d\n", surface.id,
                     surface.info.area.width, surface.info.area.height,
                     static_cast<int>(host_.BufferScale(surface.id)));
        std::fflush(stderr);
    }
}

// Whether the pointer and focus noise of an output change may still be coming.
bool Program::Quiet() const {
    return settling_.pending ||
           (settling_.noisy && host_.Ticks() - settling_.changedAt < kOutputsNoiseMs);
}

// The wait for an event, cut short where a settling change or a lost focus falls due.
uint32_t Program::TimeToNextDeadline(uint32_t wait) const {
    const bool powerWatched = plan_.onBattery != BatteryPolicy::kRun && powerChecked_;
    if (!settling_.pending && !watch_.focusLost && !powerWatched) {
        return wait;
    }
    const uint32_t now = host_.Ticks();
    auto until = [&](bool pending, uint32_t since, uint32_t span) {
        const uint32_t passed = now - since;
        if (pending && wait > (passed < span ? span - passed : 0)) {
            wait = passed < span ? span - passed : 0;
        }
    };
    until(settling_.pending, settling_.changedAt, kOutputsSettleMs);
    until(watch_.focusLost, watch_.focusLostAt, kFocusGraceMs);
    until(powerWatched, powerCheckedAt_, kPowerCheckMs);
    return wait;
}

// The outputs have changed and settled: every surface is put back over what it covers, those of
// outputs that went are closed, outputs that came get their own, and the views are planned anew.
// The city goes on; only a run left with no surface at all, whose context went with the last
// one, sets the scene up again when an output returns.
void Program::FollowOutputs() {
    settling_.pending = false;
    watch_.pointerKnown = false;
    if (plan_.placement == Placement::kChild ||
        (plan_.placement == Placement::kScreen && g_createFullScreen == FALSE)) {
        return;
    }
    const bool hadSurfaces = !surfaces_.empty();
    for (size_t i = 0; i < surfaces_.size();) {
        Surface& surface = surfaces_[i];
        if (host_.Refit(surface.id, &surface.info)) {
            TellSize(surface);
            ++i;
            continue;
        }
        host_.Destroy(surface.id);
        surfaces_.erase(surfaces_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if ((plan_.placement == Placement::kEveryMonitor && !host_.CanSpanOutputs()) ||
        (plan_.placement == Placement::kBackground &&
         (plan_.monitors != MonitorMode::kSpan || !host_.CanSpanOutputs()))) {
        CoverOutputs(false);
    }
    if (!hadSurfaces && !surfaces_.empty() && Initialize(&window_, &keys_) == TRUE &&
        plan_.seedGiven) {
        SeedAnimation(plan_.seed);
    }
    PrepareFrames();
    if (surfaces_.size() == 1) {
        const HostRect& area = surfaces_.front().info.area;
        host_.MakeCurrent(surfaces_.front().id);
        Reshape(area.width, area.height);
    }
}
