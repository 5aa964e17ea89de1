// A scriptable host for the program's tests: outputs, events and failures are set by the test,
// and every call the program makes is logged in order, beside the scene's hooks.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/host.h"

class FakeHost : public Host {
  public:
    // --- Set by the test -----------------------------------------------------------------------
    std::vector<Output> outputs{Output{1, HostRect{0, 0, 1920, 1080}, true, 60, 1.0f}};
    bool canSpan = true;
    int startResult = 0;
    // Surface creations, counted from 1, that fail; and the reason a child's host gives.
    std::vector<int> failingCreations;
    std::string hostProblem;
    bool swapIntervalWorks = true;
    SaverSettings stored;
    bool onBattery = false;
    std::set<SurfaceId> framesWithheld; // surfaces whose next frame is not asked for yet
    int settingsResult = 0;
    uint32_t tickCount = 0;
    uint32_t tickStep = 0; // how far each reading of the ticks moves them on

    // The script NextEvent follows: an event, a turn with none waiting (the program then draws
    // a frame, or its wait runs out, the clock moving on by it), or an action of the test's.
    void Event(HostEvent event);
    void Key(uint8_t key, bool down, SurfaceId surface = 1);
    void Idle(int turns = 1);
    void Action(std::function<void()> action);
    // Once the script is used up, this many further turns fail the test, so that a loop that
    // never ends fails loudly instead of hanging.
    int turnsAfterScript = 1000;

    // --- Observed ------------------------------------------------------------------------------
    // "Create 1", "Present 1", "Initialize", "Update 16", "Wait 100", "Error text" ...
    std::vector<std::string> log;
    std::vector<SurfaceRequest> requests;
    std::vector<SurfaceId> live;
    int Count(const std::string& entry) const;

    // --- Host ----------------------------------------------------------------------------------
    int Start(bool quiet) override;
    void Finish() override;
    std::vector<Output> Outputs() override { return outputs; }
    bool CanSpanOutputs() const override { return canSpan; }
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
    SaverSettings StoredSaverSettings() override { return stored; }
    bool OnBattery() override { return onBattery; }
    bool FrameWanted(SurfaceId surface) override { return framesWithheld.count(surface) == 0; }
    int EditSaverSettings(uintptr_t owner) override;

  private:
    struct Step {
        bool idle = false;
        HostEvent event;
        std::function<void()> action;
    };
    void Place(const SurfaceRequest& request, SurfaceInfo* info) const;

    std::deque<Step> script_;
    std::map<SurfaceId, SurfaceRequest> made_;
    int creations_ = 0;
    SurfaceId lastId_ = 0;
};

// The fake of the running test, which the recording scene hooks log into (null: none).
extern FakeHost* g_fakeHost;
