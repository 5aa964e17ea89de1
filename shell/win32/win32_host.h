// The Windows host: the program's surfaces are windows of the class "OpenGL", each with its own
// device context and pixel format, all drawing with the run's one rendering context, made and
// released in the order the animation always had; the window procedure turns messages into the
// host's events.
#pragma once

#include <deque>
#include <list>
#include <vector>

#include "shell/host.h"
#include "shell/win32/window.h"

class Win32Host : public Host {
  public:
    explicit Win32Host(InstanceHandle instance);

    int Start(bool quiet) override;
    void Finish() override;
    std::vector<Output> Outputs() override;
    bool CanSpanOutputs() const override { return true; }
    SurfaceId Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) override;
    void Hide(SurfaceId surface) override;
    bool Refit(SurfaceId surface, SurfaceInfo* info) override;
    void Destroy(SurfaceId surface) override;
    bool MakeCurrent(SurfaceId surface) override;
    void Present(SurfaceId surface) override;
    bool SetSwapInterval(int32_t interval) override;
    bool NextEvent(HostEvent* event, uint32_t waitMs) override;
    uint32_t Ticks() override;
    void ShowError(const char* text) override;
    SaverSettings StoredSaverSettings() override;
    int EditSaverSettings(uintptr_t owner) override;

  private:
    HostWindow* Find(SurfaceId id);
    bool Place(const SurfaceRequest& request, GL_Window* gl);
    void FollowParents();
    std::vector<HostRect> MonitorAreas();
    void WatchDesktop();

    Application application_{};
    // Records stay where they are while their windows live: the window procedure holds them.
    std::list<HostWindow> windows_;
    // The run's one rendering context, which every window draws with: the scene keeps its texture
    // in texture object 0, which contexts do not share.
    RenderContextHandle context_ = nullptr;
    SurfaceId lastId_ = 0;
    std::deque<HostEvent> events_;
    bool watchesDesktop_ = false;
    // Every monitor's area, as a full-screen window last saw them.
    std::vector<HostRect> desktop_;
};
