// The program over a host: the surfaces a run draws on and the views cut from them, the scene's
// hooks, Esc and F1, pacing and the frame-rate limit, the saver's endings, and the rate figures.
//
// A host that lets the program own the loop calls Run(). A host that owns its frame loop (a
// browser's animation frames) calls Begin() once, Frame() each time it can show a frame until
// that returns false, and End() for the exit code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/gl_window.h"
#include "shell/host.h"
#include "shell/monitor_views.h"
#include "shell/options.h"
#include "shell/pacing.h"
#include "shell/run_plan.h"

// 1 while the outer loop is to open surfaces again after the current ones are closed.
extern BOOL g_isProgramLooping;
// Whether the next surface of the plain animation is to be full screen.
extern BOOL g_createFullScreen;

class Program {
  public:
    Program(Host& host, const RunPlan& plan);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The whole run; the exit code: 0, 1 when no surface or context could be made (or the
    // settings could not be stored), or the host's own code when it could not start.
    int Run();

    bool Begin();
    // Takes every waiting event, then draws a frame if one is due. False once the run is over.
    bool Frame();
    int End();

    // A host's settings changed while the run goes on (a wallpaper program's sliders): the pace
    // in steps per second (0: one step a frame), the rates on the screen, the frame cap (0: none).
    // The new pace counts from the next frame, without catching up on the old one.
    void Retune(uint32_t stepsPerSecond, bool showRates, uint32_t maxFps);
    // The animation's steps so far, for a host that shows them.
    uint64_t steps() const { return steps_; }

    // The scene's two requests: the run ends after the frame in progress, its surfaces out of
    // sight at once; the plain animation opens its surface again in the other mode.
    void RequestEnd();
    void RequestToggle();

  private:
    struct Surface {
        SurfaceId id = 0;
        SurfaceRequest request;
        SurfaceInfo info;
        bool visible = true;
        bool drawsCity = true;          // false: kept black (a monitor outside the primary one)
        std::vector<MonitorView> views; // empty: one view of the whole surface
        bool blackAround = false;
        uint64_t frames = 0; // drawn so far
    };

    // Changes of the outputs come in bursts: they are followed once they have settled, and the
    // pointer and focus noise they make for a while after is no user's.
    struct OutputsSettling {
        bool pending = false; // changed, not followed yet
        bool noisy = false;   // the noise may still be coming
        uint32_t changedAt = 0;
    };
    // What a full-screen saver has seen of the user's hand so far.
    struct SaverWatch {
        // A loss of focus ends the saver unless the focus comes straight back (as a compositor
        // applying an output change takes it and gives it back).
        bool focusLost = false;
        uint32_t focusLostAt = 0;
        bool pointerKnown = false; // the pointer's first position, on the desktop
        int32_t pointerX = 0;
        int32_t pointerY = 0;
    };

    bool OpenSurfaces();
    bool OpenSurface(const SurfaceRequest& request, bool reportFailure = true);
    void CloseSurfaces();
    bool Open();
    void Close();
    void PrepareFrames();
    void Handle(const HostEvent& event);
    void FollowOutputs();
    bool CoverOutputs(bool failureEndsRun);
    void ChooseCityOutputs(const std::vector<Output>& outputs);
    bool Quiet() const;
    void TellSize(const Surface& surface);
    uint32_t TimeToNextDeadline(uint32_t wait) const;
    bool EndsTheSaver(const HostEvent& event, bool quiet) const;
    void WatchSaverInput(const HostEvent& event, bool quiet);
    void DesktopPoint(const HostEvent& event, int32_t* x, int32_t* y) const;
    bool AnyVisible() const;
    bool Drawing() const;
    bool AnyFrameWanted() const;
    void CheckPower();
    uint32_t TimeBeforeNextFrame();
    void RunFrame();
    void ReportRates(uint32_t steps);
    Surface* Find(SurfaceId id);
    const Surface* Find(SurfaceId id) const;

    Host& host_;
    RunPlan plan_;
    GL_Window window_{};
    Keys keys_{};
    std::vector<Surface> surfaces_;
    bool open_ = false;
    bool cycleOver_ = false; // the current surfaces are done: the run ends or F1 reopens them
    bool over_ = false;
    int exitCode_ = 0;
    // A key pressed while a frame renders is seen by the next frame even if released meanwhile.
    bool keyPressedSinceFrame_ = false;
    OutputsSettling settling_;
    SaverWatch watch_;

    bool paused_ = false; // no surface was in sight at the last turn
    // The power supply, read every few seconds where the plan cares.
    bool onBattery_ = false;
    bool powerChecked_ = false;
    uint32_t powerCheckedAt_ = 0;
    bool paced_;
    StepPacer pacer_;
    bool limited_;
    FrameLimiter limiter_;
    bool hasNextFrameTick_ = false;
    uint32_t nextFrameTick_ = 0;
    RateReport report_;
    uint64_t steps_ = 0;
    RateReport overlayRates_{1000};
    std::string overlayText_;
};

// The plan from the options and the host's stored saver settings, then the run.
int RunZorvik(Host& host, const Options& options);
