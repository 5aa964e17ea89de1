#include "common/scene_record.h"

void FillSceneRecords(GL_Window* window, Keys* keys, Application* application, int32_t width,
                      int32_t height) {
    window->keys = keys;
    window->application = application;
    window->title = kWindowTitle;
    window->width = width;
    window->height = height;
    window->bitsPerPixel = 32;
    window->isVisible = TRUE;
}
