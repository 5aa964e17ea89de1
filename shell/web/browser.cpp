#include "shell/web/browser.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kCanvas = "#canvas";

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
void (*g_lost)() = nullptr;
void (*g_restored)() = nullptr;
void (*g_toggle)() = nullptr;

// clang-format off
// The address's parameters with a wallpaper program's settings over them (the page's query()).
EM_JS(int, SearchLength, (), {
    return lengthBytesUTF8(zorvikPage.query());
});

EM_JS(void, ReadSearch, (char* buffer, int size), {
    stringToUTF8(zorvikPage.query(), buffer, size);
});

EM_JS(void, PageStarted, (), {
    zorvikPage.started();
});

EM_JS(void, PageMessage, (const char* text), {
    zorvikPage.showMessage(UTF8ToString(text));
});

EM_JS(void, PageFrame, (double frames, double steps), {
    zorvikPage.frame(frames, steps);
});

EM_JS(void, PageToggleFullScreen, (), {
    if (document.fullscreenElement) {
        document.exitFullscreen().catch(function() {});
    } else if (document.documentElement.requestFullscreen) {
        // Refused (no user gesture, or a browser that forbids it): the page stays as it is.
        document.documentElement.requestFullscreen().catch(function() {});
    }
});

EM_JS(void, PagePicture, (const uint8_t* rgba, int width, int height), {
    zorvikPage.picture(HEAPU8.slice(rgba, rgba + width * height * 4), width, height);
});

EM_JS(int, PageIsFullScreen, (), {
    return document.fullscreenElement ? 1 : 0;
});
// clang-format on

EM_BOOL OnContextLost(int, const void*, void*) {
    if (g_lost != nullptr) {
        g_lost();
    }
    // Taken as ours: the browser then restores the context when it can.
    return EM_TRUE;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
    if (g_restored != nullptr) {
        g_restored();
    }
    return EM_TRUE;
}

EM_BOOL OnKey(int, const EmscriptenKeyboardEvent* event, void*) {
    if (std::strcmp(event->key, "F1") != 0) {
        return EM_FALSE;
    }
    if (!event->repeat && g_toggle != nullptr) {
        g_toggle();
    }
    // Not the browser's help page.
    return EM_TRUE;
}

EM_BOOL OnDoubleClick(int, const EmscriptenMouseEvent*, void*) {
    if (g_toggle != nullptr) {
        g_toggle();
    }
    return EM_TRUE;
}

} // namespace

namespace browser {

// The whole of it, however long: a parameter cut off or dropped would go unreported.
std::string PageQuery() {
    const int length = SearchLength();
    std::string query(static_cast<size_t>(length) + 1, '\0');
    ReadSearch(&query[0], length + 1);
    query.resize(static_cast<size_t>(length));
    return query;
}

bool CreateContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // Opaque, like the native window; no multisampling, so pixels compare with the native frame.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    attributes.majorVersion = 1;
    attributes.minorVersion = 0;
    attributes.enableExtensionsByDefault = EM_FALSE;
    g_context = emscripten_webgl_create_context(kCanvas, &attributes);
    return g_context > 0 && MakeCurrent();
}

void WatchContext(void (*lost)(), void (*restored)()) {
    g_lost = lost;
    g_restored = restored;
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, EM_FALSE, OnContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, EM_FALSE, OnContextRestored);
}

bool MakeCurrent() {
    return g_context > 0 &&
           emscripten_webgl_make_context_current(g_context) == EMSCRIPTEN_RESULT_SUCCESS;
}

void DrawingSize(int32_t fixedWidth, int32_t fixedHeight, int32_t* width, int32_t* height) {
    const double ratio = emscripten_get_device_pixel_ratio();
    if (fixedWidth > 0 && fixedHeight > 0) {
        *width = fixedWidth;
        *height = fixedHeight;
        emscripten_set_element_css_size(kCanvas, fixedWidth / ratio, fixedHeight / ratio);
    } else {
        double cssWidth = 0;
        double cssHeight = 0;
        emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
        *width = static_cast<int32_t>(std::lround(cssWidth * ratio));
        *height = static_cast<int32_t>(std::lround(cssHeight * ratio));
    }
    int current[2] = {0, 0};
    emscripten_get_canvas_element_size(kCanvas, &current[0], &current[1]);
    if (current[0] != *width || current[1] != *height) {
        emscripten_set_canvas_element_size(kCanvas, *width, *height);
    }
}

bool FitsContext(int32_t width, int32_t height, std::string* why) {
    GLint viewport[2] = {0, 0};
    GLint renderbuffer = 0;
    emscripten_glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    emscripten_glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    const int32_t most = std::min({viewport[0], viewport[1], renderbuffer});
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (width > most || height > most) {
        *why = "size=" + size + " is larger than this browser's WebGL can draw (at most " +
               std::to_string(most) + " pixels a side)";
        return false;
    }
    int32_t drawnWidth = 0;
    int32_t drawnHeight = 0;
    DrawingSize(width, height, &drawnWidth, &drawnHeight);
    int buffer[2] = {0, 0};
    emscripten_webgl_get_drawing_buffer_size(g_context, &buffer[0], &buffer[1]);
    if (buffer[0] != width || buffer[1] != height) {
        *why = "size=" + size + " is larger than this browser gives WebGL to draw in (" +
               std::to_string(buffer[0]) + "x" + std::to_string(buffer[1]) + ")";
        return false;
    }
    return true;
}

void ToggleFullScreen() {
    PageToggleFullScreen();
}

bool IsFullScreen() {
    return PageIsFullScreen() != 0;
}

void WatchFullScreenRequests(void (*toggle)()) {
    g_toggle = toggle;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKey);
    emscripten_set_dblclick_callback(kCanvas, nullptr, EM_FALSE, OnDoubleClick);
}

void ShowMessage(const std::string& text) {
    PageMessage(text.c_str());
}

void SetTitle(const std::string& title) {
    emscripten_set_window_title(title.c_str());
}

void PublishFrame(uint32_t frames, uint64_t steps) {
    PageFrame(frames, static_cast<double>(steps));
}

void Started() {
    PageStarted();
}

void PublishPicture(int32_t width, int32_t height) {
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> bottomUp(row * height);
    std::vector<uint8_t> topDown(row * height);
    emscripten_glPixelStorei(GL_PACK_ALIGNMENT, 1);
    emscripten_glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (int32_t y = 0; y < height; ++y) {
        std::memcpy(topDown.data() + row * y, bottomUp.data() + row * (height - 1 - y), row);
    }
    PagePicture(topDown.data(), width, height);
}

double Now() {
    return emscripten_get_now();
}

} // namespace browser
