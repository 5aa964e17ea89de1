#include "shell/testing/fake_host.h"

#include "shell/surface_area.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

FakeHost* g_fakeHost = nullptr;

void FakeHost::Event(HostEvent event) {
    Step step;
    step.event = event;
    script_.push_back(step);
}

void FakeHost::Key(uint8_t key, bool down, SurfaceId surface) {
    HostEvent event;
    event.kind = HostEventKind::kKey;
    event.key = key;
    event.down = down;
    event.surface = surface;
    Event(event);
}

void FakeHost::Idle(int turns) {
    for (int i = 0; i < turns; ++i) {
        Step step;
        step.idle = true;
        script_.push_back(step);
    }
}

void FakeHost::Action(std::function<void()> action) {
    Step step;
    step.action = std::move(action);
    script_.push_back(step);
}

int FakeHost::Count(const std::string& entry) const {
    return static_cast<int>(std::count(log.begin(), log.end(), entry));
}

// Where a surface of that kind lies on the outputs of the moment, as the real hosts place it.
void FakeHost::Place(const SurfaceRequest& request, SurfaceInfo* info) const {
    info->fullScreen = request.kind != SurfaceKind::kWindow && request.kind != SurfaceKind::kChild;
    if (!SurfaceArea(request, outputs, &info->area)) {
        info->area = HostRect{0, 0, request.width, request.height};
    }
}

int FakeHost::Start(bool quiet) {
    log.push_back(quiet ? "Start quiet" : "Start");
    return startResult;
}

void FakeHost::Finish() {
    log.push_back("Finish");
}

SurfaceId FakeHost::Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) {
    requests.push_back(request);
    ++creations_;
    if (std::find(failingCreations.begin(), failingCreations.end(), creations_) !=
        failingCreations.end()) {
        log.push_back("Create failed");
        return 0;
    }
    if (request.kind == SurfaceKind::kChild && !hostProblem.empty()) {
        *why = hostProblem;
        log.push_back("Create failed");
        return 0;
    }
    const SurfaceId id = ++lastId_;
    live.push_back(id);
    made_[id] = request;
    Place(request, info);
    log.push_back("Create " + std::to_string(id));
    return id;
}

void FakeHost::Hide(SurfaceId surface) {
    log.push_back("Hide " + std::to_string(surface));
}

bool FakeHost::Refit(SurfaceId surface, SurfaceInfo* info) {
    const SurfaceRequest& request = made_.at(surface);
    const bool oneOutput = request.kind == SurfaceKind::kOutput ||
                           (request.kind == SurfaceKind::kBackground && request.output != 0);
    const bool there =
        !oneOutput || std::any_of(outputs.begin(), outputs.end(), [&](const Output& output) {
            return output.id == request.output;
        });
    log.push_back("Refit " + std::to_string(surface) + (there ? "" : " gone"));
    Place(request, info);
    return there;
}

void FakeHost::Destroy(SurfaceId surface) {
    const auto it = std::find(live.begin(), live.end(), surface);
    if (it == live.end()) {
        log.push_back("Destroy unknown " + std::to_string(surface));
        return;
    }
    live.erase(it);
    log.push_back("Destroy " + std::to_string(surface));
}

bool FakeHost::MakeCurrent(SurfaceId surface) {
    log.push_back("MakeCurrent " + std::to_string(surface));
    return true;
}

void FakeHost::Present(SurfaceId surface) {
    log.push_back("Present " + std::to_string(surface));
}

bool FakeHost::SetSwapInterval(int32_t interval) {
    log.push_back("SetSwapInterval " + std::to_string(interval));
    return swapIntervalWorks;
}

bool FakeHost::NextEvent(HostEvent* event, uint32_t waitMs) {
    if (waitMs > 0) {
        log.push_back("Wait " + std::to_string(waitMs));
    }
    while (!script_.empty()) {
        Step step = script_.front();
        script_.pop_front();
        if (step.action) {
            step.action();
            continue;
        }
        if (step.idle) {
            // Nothing came: a wait ran its whole time.
            tickCount += waitMs;
            return false;
        }
        *event = step.event;
        return true;
    }
    if (--turnsAfterScript < 0) {
        std::fprintf(stderr, "the program ran on past the end of the fake host's script\n");
        std::abort();
    }
    return false;
}

uint32_t FakeHost::Ticks() {
    const uint32_t now = tickCount;
    tickCount += tickStep;
    return now;
}

void FakeHost::ShowError(const char* text) {
    log.push_back(std::string("Error ") + text);
}

int FakeHost::EditSaverSettings(uintptr_t owner) {
    log.push_back("EditSaverSettings " + std::to_string(owner));
    return settingsResult;
}
