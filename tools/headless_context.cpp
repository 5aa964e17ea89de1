#include "tools/headless_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

namespace {

bool HasExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool startsWord = p == list || p[-1] == ' ';
        const bool endsWord = p[length] == ' ' || p[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

// Opens the surfaceless platform if the client library offers it, else the first EGL device.
EGLDisplay OpenDisplay(const char** platformName) {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    if (HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display =
            getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
            *platformName = "surfaceless";
            return display;
        }
    }
    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (queryDevices != nullptr && HasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        EGLDeviceEXT devices[16];
        EGLint count = 0;
        if (queryDevices(16, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay display =
                    getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr)) {
                    *platformName = "device";
                    return display;
                }
            }
        }
    }
    return EGL_NO_DISPLAY;
}

} // namespace

HeadlessContext::~HeadlessContext() {
    Destroy();
}

bool HeadlessContext::Create(int width, int height, std::string* error) {
    Destroy();
    sizeRefused_ = false;
    EGLDisplay display = OpenDisplay(&platformName_);
    if (display == EGL_NO_DISPLAY) {
        *error = "no EGL display: neither the surfaceless platform nor an EGL device is available";
        return false;
    }
    display_ = display;

    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "EGL cannot bind the desktop OpenGL API";
        Destroy();
        return false;
    }
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) {
        *error = "no EGL configuration with RGBA 8-bit colour and a 16-bit depth buffer";
        Destroy();
        return false;
    }
    EGLint maxWidth = 0, maxHeight = 0;
    eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_WIDTH, &maxWidth);
    eglGetConfigAttrib(display, config, EGL_MAX_PBUFFER_HEIGHT, &maxHeight);
    if (width < 1 || height < 1 || (maxWidth > 0 && width > maxWidth) ||
        (maxHeight > 0 && height > maxHeight)) {
        *error = "the renderer cannot provide a " + std::to_string(width) + "x" +
                 std::to_string(height) + " surface (largest " + std::to_string(maxWidth) + "x" +
                 std::to_string(maxHeight) + ")";
        sizeRefused_ = true;
        Destroy();
        return false;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface_ == EGL_NO_SURFACE) {
        surface_ = nullptr;
        *error = "EGL cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                 " pbuffer surface";
        sizeRefused_ = true; // the configuration is usable, so the size is what failed
        Destroy();
        return false;
    }
    context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) {
        context_ = nullptr;
        *error = "EGL cannot create an OpenGL context";
        Destroy();
        return false;
    }
    if (!eglMakeCurrent(display, surface_, surface_, context_)) {
        *error = "EGL cannot make the OpenGL context current";
        Destroy();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void HeadlessContext::Destroy() {
    if (display_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) {
        eglDestroyContext(display_, context_);
        context_ = nullptr;
    }
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
        surface_ = nullptr;
    }
    // The display itself stays initialised: EGL keeps one per platform for the whole process,
    // and terminating it unloads the driver, which leaks a little of Mesa's memory every time.
    display_ = nullptr;
    width_ = height_ = 0;
}
