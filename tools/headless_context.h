// An OpenGL rendering context with no window, through EGL: Mesa's surfaceless platform where it
// exists, otherwise the first EGL device (vendor drivers on GPU servers). Renders into an
// off-screen RGBA pbuffer with a 16-bit depth buffer. Used by the capture tool and by tests.
// EGL hands out one display per platform, so keep one of these alive at a time.
#pragma once

#include <string>

class HeadlessContext {
  public:
    HeadlessContext() = default;
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Creates the context and its width x height surface and makes them current. On failure
    // returns false with a one-line reason in `error` and holds nothing.
    bool Create(int width, int height, std::string* error);
    // Releases everything; safe to call more than once.
    void Destroy();

    bool IsCurrent() const { return context_ != nullptr; }
    // After a failed Create: whether the failure was the requested size, not the renderer.
    bool SizeRefused() const { return sizeRefused_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // "surfaceless" or "device".
    const char* PlatformName() const { return platformName_; }

  private:
    void* display_ = nullptr; // EGLDisplay
    void* surface_ = nullptr; // EGLSurface
    void* context_ = nullptr; // EGLContext
    int width_ = 0;
    int height_ = 0;
    const char* platformName_ = "";
    bool sizeRefused_ = false;
};
