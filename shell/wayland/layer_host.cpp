// The layer-shell host. Each output the compositor announces gets, when the program asks for it,
// a wl_surface in the background layer: anchored to all four edges at the output's whole size,
// over any exclusive zone, with an empty input region and no keyboard, so that every key, click
// and focus stays with the windows above. Its buffer has the output's own pixels (the output's
// scale times the configured size).
//
// Frames follow the compositor's frame callbacks: a surface whose last frame the compositor has
// not asked to follow within a while (covered by a full-screen window, its output off) is
// reported hidden, and the program stops drawing it; the callback that comes when it is seen
// again shows it. Swaps never wait, so one silent output cannot hold up the others.
#include "shell/wayland/layer_host.h"

#include <EGL/egl.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

// The protocol names an argument "namespace", a word C++ keeps for itself.
#define namespace namespace_
#include "layer_shell_client.h"
#undef namespace
#include "shell/linux/power_supply.h"
#include "shell/options.h"
#include "shell/surface_area.h"

// The layer shell's popups are made from xdg-shell, which this program never uses; its interface
// is named only so that the layer shell's own tables can point at it.
extern "C" const struct wl_interface xdg_popup_interface = {"xdg_popup", 1, 0, nullptr, 0, nullptr};

namespace {

// A surface whose last frame the compositor has not asked to follow for this long is out of sight.
constexpr uint32_t kUnseenAfterMs = 1000;
// How long the compositor may take to configure a new surface.
constexpr int kConfigureWaitMs = 5000;
constexpr uint32_t kAllEdges =
    ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
    ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT;

// The ending signals reach the loop through a pipe: the handler only writes a byte.
int g_signalPipe[2] = {-1, -1};
const int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM};

void OnEndingSignal(int) {
    const int saved = errno;
    const char byte = 1;
    if (write(g_signalPipe[1], &byte, 1) < 0) {
    }
    errno = saved;
}

void CatchEndingSignals() {
    if (g_signalPipe[0] >= 0 || pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction handler {};
    handler.sa_handler = OnEndingSignal;
    handler.sa_flags = SA_RESTART;
    sigemptyset(&handler.sa_mask);
    for (const int signal : kEndingSignals) {
        struct sigaction present {};
        // One ignored at the start (nohup, a script's background job) stays ignored.
        if (sigaction(signal, nullptr, &present) == 0 && present.sa_handler != SIG_IGN) {
            sigaction(signal, &handler, nullptr);
        }
    }
}

// Compositors before wl_output version 3 know no release request.
void ReleaseOutput(wl_output* output) {
    if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
        wl_output_release(output);
    } else {
        wl_output_destroy(output);
    }
}

uint32_t NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

class LayerShellHost : public Host {
  public:
    ~LayerShellHost() override { Finish(); }
    int Start(bool quiet) override;
    void Finish() override;
    std::vector<Output> Outputs() override;
    bool CanSpanOutputs() const override { return false; }
    SurfaceId Create(const SurfaceRequest& request, SurfaceInfo* info, std::string* why) override;
    void Hide(SurfaceId surface) override;
    bool Refit(SurfaceId surface, SurfaceInfo* info) override;
    void Destroy(SurfaceId surface) override;
    bool MakeCurrent(SurfaceId surface) override;
    void Present(SurfaceId surface) override;
    bool SetSwapInterval(int32_t) override { return true; } // always 0: see Present
    bool FrameWanted(SurfaceId id) override;
    bool NextEvent(HostEvent* event, uint32_t waitMs) override;
    uint32_t Ticks() override { return NowMs(); }
    bool OnBattery() override { return RunsOnBattery(PowerSupplyFolder()); }
    void ShowError(const char* text) override;
    SaverSettings StoredSaverSettings() override { return SaverSettings(); }
    int EditSaverSettings(uintptr_t) override { return 0; }

    // The listeners' entries.
    static void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, uint32_t name);
    static void OutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t,
                               int32_t, const char*, const char*, int32_t);
    static void OutputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height,
                           int32_t refresh);
    static void OutputDone(void* data, wl_output*);
    static void OutputScale(void* data, wl_output*, int32_t factor);
    static void Configure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width,
                          uint32_t height);
    static void Closed(void* data, zwlr_layer_surface_v1* layer);
    static void FrameDone(void* data, wl_callback* callback, uint32_t);

  private:
    struct OutputState {
        LayerShellHost* host = nullptr;
        uint32_t name = 0; // the registry's
        wl_output* output = nullptr;
        Output facts; // area in the desktop's units
        int32_t modeWidth = 0, modeHeight = 0;
        int32_t scale = 1;
        bool announced = false; // its first "done" has come
    };
    struct Surface {
        LayerShellHost* host = nullptr;
        SurfaceId id = 0;
        uint32_t output = 0;
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        wl_egl_window* window = nullptr;
        EGLSurface egl = EGL_NO_SURFACE;
        wl_callback* frame = nullptr; // asked for with the last frame shown, not come yet
        uint32_t frameAskedAt = 0;
        bool seen = true;
        bool configured = false;
        bool closed = false;
        int32_t width = 0, height = 0; // configured, in the desktop's units
        int32_t scale = 1;
        uint64_t frames = 0;
    };

    Surface* Find(SurfaceId id);
    OutputState* FindOutput(uint32_t id);
    void Push(HostEventKind kind, SurfaceId surface, int32_t width = 0, int32_t height = 0);
    void FollowSize(Surface* surface);
    HostRect PixelArea(const Surface& surface);
    bool Dispatch(int timeoutMs);
    void WatchSight();

    bool quiet_ = false;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    std::vector<OutputState*> outputs_;
    std::vector<Surface*> surfaces_;
    uint32_t lastOutputId_ = 0;
    SurfaceId lastSurfaceId_ = 0;
    std::deque<HostEvent> pending_;
    EGLDisplay eglDisplay_ = EGL_NO_DISPLAY;
    EGLConfig eglConfig_ = nullptr;
    EGLContext eglContext_ = EGL_NO_CONTEXT;
};

const wl_registry_listener kRegistryListener = {LayerShellHost::Global,
                                                LayerShellHost::GlobalRemove};
const wl_output_listener kOutputListener = {LayerShellHost::OutputGeometry,
                                            LayerShellHost::OutputMode,
                                            LayerShellHost::OutputDone,
                                            LayerShellHost::OutputScale,
                                            [](void*, wl_output*, const char*) {},
                                            [](void*, wl_output*, const char*) {}};
const zwlr_layer_surface_v1_listener kLayerListener = {LayerShellHost::Configure,
                                                       LayerShellHost::Closed};
const wl_callback_listener kFrameListener = {LayerShellHost::FrameDone};

void LayerShellHost::Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                            uint32_t version) {
    auto* host = static_cast<LayerShellHost*>(data);
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        host->compositor_ = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 4u)));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        host->layerShell_ = static_cast<zwlr_layer_shell_v1*>(wl_registry_bind(
            registry, name, &zwlr_layer_shell_v1_interface, std::min(version, 4u)));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        // Version 2 brings the scale; the names of version 4 are not needed.
        auto* state = new OutputState;
        state->host = host;
        state->name = name;
        state->facts.id = ++host->lastOutputId_;
        state->output = static_cast<wl_output*>(
            wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 3u)));
        wl_output_add_listener(state->output, &kOutputListener, state);
        host->outputs_.push_back(state);
    }
}

void LayerShellHost::GlobalRemove(void* data, wl_registry*, uint32_t name) {
    auto* host = static_cast<LayerShellHost*>(data);
    for (auto it = host->outputs_.begin(); it != host->outputs_.end(); ++it) {
        if ((*it)->name == name) {
            OutputState* state = *it;
            host->outputs_.erase(it);
            if (state->announced) {
                host->Push(HostEventKind::kOutputsChanged, 0);
            }
            ReleaseOutput(state->output);
            delete state;
            return;
        }
    }
}

void LayerShellHost::OutputGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t,
                                    int32_t, const char*, const char*, int32_t) {
    auto* state = static_cast<OutputState*>(data);
    state->facts.area.x = x;
    state->facts.area.y = y;
}

void LayerShellHost::OutputMode(void* data, wl_output*, uint32_t flags, int32_t width,
                                int32_t height, int32_t refresh) {
    auto* state = static_cast<OutputState*>(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        state->modeWidth = width;
        state->modeHeight = height;
        state->facts.refreshHz = (refresh + 500) / 1000; // millihertz
    }
}

void LayerShellHost::OutputScale(void* data, wl_output*, int32_t factor) {
    static_cast<OutputState*>(data)->scale = std::max(1, factor);
}

// An output's facts are whole once "done" comes: then it is new or changed.
void LayerShellHost::OutputDone(void* data, wl_output*) {
    auto* state = static_cast<OutputState*>(data);
    state->facts.scale = static_cast<float>(state->scale);
    state->facts.area.width = state->modeWidth / state->scale;
    state->facts.area.height = state->modeHeight / state->scale;
    state->announced = true;
    LayerShellHost* host = state->host;
    for (Surface* surface : host->surfaces_) {
        if (surface->output == state->facts.id && surface->scale != state->scale) {
            surface->scale = state->scale;
            host->FollowSize(surface);
        }
    }
    host->Push(HostEventKind::kOutputsChanged, 0);
}

void LayerShellHost::Configure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial,
                               uint32_t width, uint32_t height) {
    auto* surface = static_cast<Surface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    const bool changed = static_cast<int32_t>(width) != surface->width ||
                         static_cast<int32_t>(height) != surface->height;
    surface->width = static_cast<int32_t>(width);
    surface->height = static_cast<int32_t>(height);
    const bool first = !surface->configured;
    surface->configured = true;
    if (changed && !first) {
        surface->host->FollowSize(surface);
    }
}

void LayerShellHost::Closed(void* data, zwlr_layer_surface_v1*) {
    auto* surface = static_cast<Surface*>(data);
    surface->closed = true;
    // The program follows the outputs and lets this one go.
    surface->host->Push(HostEventKind::kOutputsChanged, 0);
}

void LayerShellHost::FrameDone(void* data, wl_callback* callback, uint32_t) {
    auto* surface = static_cast<Surface*>(data);
    wl_callback_destroy(callback);
    surface->frame = nullptr;
    // Seen, and ready for the next frame: the program waits for this word.
    surface->seen = true;
    surface->host->Push(HostEventKind::kShown, surface->id);
}

LayerShellHost::Surface* LayerShellHost::Find(SurfaceId id) {
    for (Surface* surface : surfaces_) {
        if (surface->id == id) {
            return surface;
        }
    }
    return nullptr;
}

LayerShellHost::OutputState* LayerShellHost::FindOutput(uint32_t id) {
    for (OutputState* state : outputs_) {
        if (state->facts.id == id) {
            return state;
        }
    }
    return nullptr;
}

void LayerShellHost::Push(HostEventKind kind, SurfaceId surface, int32_t width, int32_t height) {
    HostEvent event;
    event.kind = kind;
    event.surface = surface;
    event.width = width;
    event.height = height;
    pending_.push_back(event);
}

HostRect LayerShellHost::PixelArea(const Surface& surface) {
    HostRect area;
    if (const OutputState* state = FindOutput(surface.output)) {
        area.x = state->facts.area.x;
        area.y = state->facts.area.y;
    }
    area.width = surface.width * surface.scale;
    area.height = surface.height * surface.scale;
    return area;
}

// A new size or scale: the buffer follows, at the output's own pixels.
void LayerShellHost::FollowSize(Surface* surface) {
    wl_surface_set_buffer_scale(surface->surface, surface->scale);
    const HostRect area = PixelArea(*surface);
    if (surface->window != nullptr) {
        wl_egl_window_resize(surface->window, area.width, area.height, 0, 0);
    }
    Push(HostEventKind::kResized, surface->id, area.width, area.height);
}

int LayerShellHost::Start(bool quiet) {
    quiet_ = quiet;
    CatchEndingSignals();
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr) {
        std::fprintf(stderr, "zorvik: cannot connect to the Wayland display\n");
        return 1;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    // The globals, then the outputs' first facts.
    wl_display_roundtrip(display_);
    wl_display_roundtrip(display_);
    pending_.clear(); // the outputs as they are now are the start, not a change
    if (layerShell_ == nullptr || compositor_ == nullptr) {
        std::fprintf(stderr,
                     "zorvik: this Wayland compositor has no layer shell (zwlr_layer_shell_v1), so "
                     "--wallpaper cannot put the city below its windows (GNOME has none; sway, "
                     "Hyprland and KDE do)\n");
        return kExitNoBackground;
    }
    eglDisplay_ = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(display_));
    if (eglDisplay_ == EGL_NO_DISPLAY || !eglInitialize(eglDisplay_, nullptr, nullptr) ||
        !eglBindAPI(EGL_OPENGL_API)) {
        std::fprintf(stderr, "zorvik: no EGL with desktop OpenGL on this Wayland display\n");
        return 1;
    }
    // The city's pixels everywhere: 8 bits a colour, some alpha, a 16-bit depth buffer. The
    // surfaces are marked opaque, so the alpha never shows.
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_WINDOW_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_ALPHA_SIZE,
                                 1,
                                 EGL_DEPTH_SIZE,
                                 16,
                                 EGL_NONE};
    // EGL sorts deeper colours first: Mesa offers 10 bits a colour before 8, which draws other
    // pixels than every other mode and costs the software renderer about twice the time a frame.
    // The first with exactly 8 bits a colour, as asked.
    EGLint count = 0;
    std::vector<EGLConfig> configs(64);
    if (!eglChooseConfig(eglDisplay_, attributes, configs.data(),
                         static_cast<EGLint>(configs.size()), &count)) {
        count = 0;
    }
    const auto eightBits = [this](EGLConfig config) {
        EGLint red = 0, green = 0, blue = 0;
        return eglGetConfigAttrib(eglDisplay_, config, EGL_RED_SIZE, &red) &&
               eglGetConfigAttrib(eglDisplay_, config, EGL_GREEN_SIZE, &green) &&
               eglGetConfigAttrib(eglDisplay_, config, EGL_BLUE_SIZE, &blue) && red == 8 &&
               green == 8 && blue == 8;
    };
    const auto end = configs.begin() + count;
    const auto found = std::find_if(configs.begin(), end, eightBits);
    if (found == end) {
        std::fprintf(stderr, "zorvik: no EGL configuration for the city's pixels\n");
        return 1;
    }
    eglConfig_ = *found;
    eglContext_ = eglCreateContext(eglDisplay_, eglConfig_, EGL_NO_CONTEXT, nullptr);
    if (eglContext_ == EGL_NO_CONTEXT) {
        std::fprintf(stderr, "zorvik: cannot create an OpenGL context (EGL error 0x%x)\n",
                     eglGetError());
        return 1;
    }
    return 0;
}

void LayerShellHost::Finish() {
    while (!surfaces_.empty()) {
        Destroy(surfaces_.back()->id);
    }
    if (eglDisplay_ != EGL_NO_DISPLAY) {
        eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (eglContext_ != EGL_NO_CONTEXT) {
            eglDestroyContext(eglDisplay_, eglContext_);
        }
        eglTerminate(eglDisplay_);
        eglDisplay_ = EGL_NO_DISPLAY;
        eglContext_ = EGL_NO_CONTEXT;
    }
    for (OutputState* state : outputs_) {
        ReleaseOutput(state->output);
        delete state;
    }
    outputs_.clear();
    if (layerShell_ != nullptr) {
        zwlr_layer_shell_v1_destroy(layerShell_);
        layerShell_ = nullptr;
    }
    if (compositor_ != nullptr) {
        wl_compositor_destroy(compositor_);
        compositor_ = nullptr;
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
        registry_ = nullptr;
    }
    if (display_ != nullptr) {
        wl_display_flush(display_);
        wl_display_disconnect(display_);
        display_ = nullptr;
    }
}

std::vector<Output> LayerShellHost::Outputs() {
    std::vector<Output> outputs;
    for (const OutputState* state : outputs_) {
        if (state->announced) {
            outputs.push_back(state->facts);
        }
    }
    // Wayland names no primary output: the first one stands for it.
    if (!outputs.empty()) {
        outputs.front().primary = true;
    }
    return outputs;
}

SurfaceId LayerShellHost::Create(const SurfaceRequest& request, SurfaceInfo* info, std::string*) {
    OutputState* state = FindOutput(request.output);
    if (request.kind != SurfaceKind::kBackground || state == nullptr || !state->announced) {
        return 0;
    }
    auto* surface = new Surface;
    surface->host = this;
    surface->id = ++lastSurfaceId_;
    surface->output = request.output;
    surface->scale = state->scale;
    surfaces_.push_back(surface);
    surface->surface = wl_compositor_create_surface(compositor_);
    surface->layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell_, surface->surface, state->output, ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND,
        "zorvik-wallpaper");
    zwlr_layer_surface_v1_add_listener(surface->layer, &kLayerListener, surface);
    zwlr_layer_surface_v1_set_size(surface->layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(surface->layer, kAllEdges);
    zwlr_layer_surface_v1_set_exclusive_zone(surface->layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        surface->layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    // Clicks and the pointer pass through to whatever is below: nothing, on the background.
    wl_region* empty = wl_compositor_create_region(compositor_);
    wl_surface_set_input_region(surface->surface, empty);
    wl_region_destroy(empty);
    wl_surface_set_buffer_scale(surface->surface, surface->scale);
    wl_surface_commit(surface->surface);
    const uint32_t start = NowMs();
    while (!surface->configured && !surface->closed &&
           NowMs() - start < static_cast<uint32_t>(kConfigureWaitMs)) {
        if (!Dispatch(static_cast<int>(kConfigureWaitMs - (NowMs() - start)))) {
            break;
        }
    }
    if (!surface->configured || surface->closed || surface->width <= 0 || surface->height <= 0) {
        std::fprintf(stderr, "zorvik: the compositor did not place a background surface\n");
        Destroy(surface->id);
        return 0;
    }
    // The whole output is drawn: the compositor need not draw what is below.
    wl_region* whole = wl_compositor_create_region(compositor_);
    wl_region_add(whole, 0, 0, surface->width, surface->height);
    wl_surface_set_opaque_region(surface->surface, whole);
    wl_region_destroy(whole);
    const HostRect area = PixelArea(*surface);
    surface->window = wl_egl_window_create(surface->surface, area.width, area.height);
    surface->egl = surface->window == nullptr
                       ? EGL_NO_SURFACE
                       : eglCreateWindowSurface(
                             eglDisplay_, eglConfig_,
                             reinterpret_cast<EGLNativeWindowType>(surface->window), nullptr);
    if (surface->egl == EGL_NO_SURFACE || !MakeCurrent(surface->id)) {
        std::fprintf(stderr, "zorvik: cannot draw with OpenGL on a background surface (EGL 0x%x)\n",
                     eglGetError());
        Destroy(surface->id);
        return 0;
    }
    eglSwapInterval(eglDisplay_, 0);
    info->fullScreen = true;
    info->area = area;
    return surface->id;
}

void LayerShellHost::Hide(SurfaceId id) {
    if (Surface* surface = Find(id)) {
        // No buffer: the layer surface is unmapped at once, the desktop's own background back.
        wl_surface_attach(surface->surface, nullptr, 0, 0);
        wl_surface_commit(surface->surface);
        wl_display_flush(display_);
    }
}

bool LayerShellHost::Refit(SurfaceId id, SurfaceInfo* info) {
    Surface* surface = Find(id);
    if (surface == nullptr || surface->closed || FindOutput(surface->output) == nullptr) {
        return false;
    }
    info->fullScreen = true;
    info->area = PixelArea(*surface);
    return true;
}

void LayerShellHost::Destroy(SurfaceId id) {
    const auto it = std::find_if(surfaces_.begin(), surfaces_.end(),
                                 [id](const Surface* surface) { return surface->id == id; });
    if (it == surfaces_.end()) {
        return;
    }
    Surface* surface = *it;
    surfaces_.erase(it);
    if (surface->egl != EGL_NO_SURFACE) {
        // The context lives on for the other surfaces, current on none until one is made so.
        eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(eglDisplay_, surface->egl);
    }
    if (surface->window != nullptr) {
        wl_egl_window_destroy(surface->window);
    }
    if (surface->frame != nullptr) {
        wl_callback_destroy(surface->frame);
    }
    zwlr_layer_surface_v1_destroy(surface->layer);
    wl_surface_destroy(surface->surface);
    wl_display_flush(display_);
    delete surface;
    // The context stays current on a surface that is left, as it was on one before.
    if (!surfaces_.empty()) {
        MakeCurrent(surfaces_.front()->id);
    }
}

bool LayerShellHost::MakeCurrent(SurfaceId id) {
    Surface* surface = Find(id);
    return surface != nullptr && surface->egl != EGL_NO_SURFACE &&
           eglMakeCurrent(eglDisplay_, surface->egl, surface->egl, eglContext_) == EGL_TRUE;
}

// The frame goes to the compositor, with a request to be told when it wants the next one; until
// then the surface is in sight. The program draws no frame that FrameWanted refuses; should one
// come all the same, the last one stays and this one is dropped.
void LayerShellHost::Present(SurfaceId id) {
    Surface* surface = Find(id);
    if (surface == nullptr || surface->egl == EGL_NO_SURFACE || surface->frame != nullptr) {
        return;
    }
    surface->frame = wl_surface_frame(surface->surface);
    wl_callback_add_listener(surface->frame, &kFrameListener, surface);
    surface->frameAskedAt = NowMs();
    ++surface->frames;
    eglSwapBuffers(eglDisplay_, surface->egl);
}

// Until the compositor asks for the next frame, one drawn would replace the last unseen.
bool LayerShellHost::FrameWanted(SurfaceId id) {
    const Surface* surface = Find(id);
    return surface != nullptr && surface->frame == nullptr;
}

// Surfaces whose frame has not been asked for in a while are out of sight.
void LayerShellHost::WatchSight() {
    const uint32_t now = NowMs();
    for (Surface* surface : surfaces_) {
        if (surface->seen && surface->frame != nullptr &&
            now - surface->frameAskedAt >= kUnseenAfterMs) {
            surface->seen = false;
            Push(HostEventKind::kHidden, surface->id);
        }
    }
}

// Reads and handles what the compositor has sent, waiting up to `timeoutMs` (-1: no limit) for
// it or for an ending signal. False when the connection is lost.
bool LayerShellHost::Dispatch(int timeoutMs) {
    while (wl_display_prepare_read(display_) != 0) {
        if (wl_display_dispatch_pending(display_) < 0) {
            return false;
        }
    }
    wl_display_flush(display_);
    pollfd watched[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    const int ready = poll(watched, 2, timeoutMs);
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display_) != 0) {
            return false;
        }
    } else {
        wl_display_cancel_read(display_);
    }
    if (ready > 0 && (watched[1].revents & POLLIN) != 0) {
        char bytes[16];
        while (read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        Push(HostEventKind::kQuitSignal, 0);
    }
    return wl_display_dispatch_pending(display_) >= 0;
}

bool LayerShellHost::NextEvent(HostEvent* event, uint32_t waitMs) {
    const uint32_t start = NowMs();
    for (;;) {
        WatchSight();
        if (!pending_.empty()) {
            *event = pending_.front();
            pending_.pop_front();
            return true;
        }
        const uint32_t waited = NowMs() - start;
        if (waited >= waitMs && waitMs != 0xFFFFFFFFu) {
            // Whatever came meanwhile, without waiting.
            if (!Dispatch(0)) {
                Push(HostEventKind::kHostGone, 0);
            }
            WatchSight();
            if (pending_.empty()) {
                return false;
            }
            continue;
        }
        // Woken in time to see a surface go out of sight.
        uint32_t slice = waitMs == 0xFFFFFFFFu ? kUnseenAfterMs : waitMs - waited;
        for (const Surface* surface : surfaces_) {
            if (surface->seen && surface->frame != nullptr) {
                const uint32_t since = NowMs() - surface->frameAskedAt;
                slice = std::min(slice, since < kUnseenAfterMs ? kUnseenAfterMs - since : 0u);
            }
        }
        if (!Dispatch(static_cast<int>(std::min<uint32_t>(slice, 0x7FFFFFFF)))) {
            std::fprintf(stderr, "zorvik: the Wayland compositor has gone\n");
            Push(HostEventKind::kHostGone, 0);
        }
    }
}

void LayerShellHost::ShowError(const char* text) {
    std::fprintf(stderr, quiet_ ? "zorvik: %s\n" : "zorvik: Error: %s\n", text);
    std::fflush(stderr);
}

} // namespace

std::unique_ptr<Host> MakeLayerShellHost() {
    return std::make_unique<LayerShellHost>();
}
