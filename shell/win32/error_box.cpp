#include "shell/win32/error_box.h"

#include <cstdio>

#include "shell/win32/platform.h"
#include "shell/win32/platform_constants.h"

void ShowErrorBox(const Application* application, const char* text) {
    if (application->isQuiet == TRUE) {
        std::fprintf(stderr, "zorvik: %s\n", text);
        std::fflush(stderr);
        return;
    }
    PlatformMessageBox(nullptr, text, "Error", MB_OK | MB_ICONEXCLAMATION);
}
