// The browser as a host: one surface, the page's canvas, drawn with one WebGL context; the
// browser's own animation frames drive the program (Program::Begin, Frame, End) instead of a loop
// of the program's. Full screen is the browser's (F1, a double click, Esc to leave it), so those
// keys stay with the page; the canvas's size in device pixels reaches the program as resizes.
#pragma once

#include <deque>

#include "shell/host.h"

class WebHost : public Host {
  public:
    // `fixedWidth` x `fixedHeight`: a drawing size of its own instead of the page's (0: none).
    WebHost(int32_t fixedWidth, int32_t fixedHeight);

    // Once per animation frame of the browser, before the program's turns: the canvas's size.
    void FollowPage();
    uint32_t presents() const { return presents_; }
    bool contextLost() const { return contextLost_; }
    void ContextLost();
    void ContextRestored();
    // The page paused (by a wallpaper program, or out of sight) or going on: the clock stands
    // still while it lasts, so that the pacing neither sees the time away nor catches it up.
    void Pause(bool paused);
    bool paused() const { return paused_; }

    int Start(bool quiet) override;
    void Finish() override {}
    std::vector<Output> Outputs() override;
    bool CanSpanOutputs() const override { return false; }
    SurfaceId Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) override;
    void Hide(SurfaceId) override {}
    bool Refit(SurfaceId surface, SurfaceInfo* info) override;
    void Destroy(SurfaceId surface) override;
    bool MakeCurrent(SurfaceId surface) override;
    void Present(SurfaceId surface) override;
    // The browser shows a frame per display refresh of its own accord.
    bool SetSwapInterval(int32_t) override { return false; }
    bool NextEvent(HostEvent* event, uint32_t waitMs) override;
    uint32_t Ticks() override;
    void ShowError(const char* text) override;
    SaverSettings StoredSaverSettings() override { return SaverSettings{}; }
    // A page has no saver settings to edit.
    int EditSaverSettings(uintptr_t) override { return 1; }

  private:
    static constexpr SurfaceId kCanvas = 1;

    void Measure(int32_t* width, int32_t* height) const;

    int32_t fixedWidth_;
    int32_t fixedHeight_;
    bool contextMade_ = false;
    bool contextLost_ = false;
    bool surfaceOpen_ = false;
    int32_t width_ = 0;
    int32_t height_ = 0;
    uint32_t presents_ = 0;
    bool paused_ = false;
    double pausedAt_ = 0;
    double pausedMs_ = 0; // the time spent paused so far, left out of Ticks()
    bool errorShown_ = false;
    std::deque<HostEvent> events_;
};
