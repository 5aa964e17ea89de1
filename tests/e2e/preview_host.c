/* A window for a screen saver's preview, as the Display control panel makes one. Prints its
 * handle in decimal, then obeys lines in the file named by its argument, checked ten times a
 * second: "resize W H" (the client area), "hide", "show", "destroy" (the window goes and the
 * program ends). With "message-only" after the file, the window is a message-only window, which
 * is never seen. Usage: preview_host.exe COMMAND_FILE [message-only] */
#include <stdio.h>
#include <windows.h>

static const char* g_commands;

static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void CALLBACK Poll(HWND window, UINT message, UINT_PTR timer, DWORD time) {
    (void)message;
    (void)timer;
    (void)time;
    FILE* file = fopen(g_commands, "r");
    if (file == NULL) {
        return;
    }
    char line[128] = "";
    const int read = fgets(line, sizeof line, file) != NULL;
    fclose(file);
    if (!read || line[0] == '\0' || strchr(line, '\n') == NULL) {
        return; /* not written in full yet */
    }
    remove(g_commands);
    int width = 0, height = 0;
    if (sscanf(line, "resize %d %d", &width, &height) == 2) {
        RECT rect = {0, 0, width, height};
        AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(window, NULL, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        printf("resized\n");
    } else if (strncmp(line, "hide", 4) == 0) {
        ShowWindow(window, SW_HIDE);
        printf("hidden\n");
    } else if (strncmp(line, "show", 4) == 0) {
        ShowWindow(window, SW_SHOW);
        printf("shown\n");
    } else if (strncmp(line, "destroy", 7) == 0) {
        DestroyWindow(window);
        printf("destroyed\n");
    }
    fflush(stdout);
}

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        fprintf(stderr, "usage: %s COMMAND_FILE\n", argv[0]);
        return 2;
    }
    g_commands = argv[1];
    WNDCLASSA windowClass = {0};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszClassName = "PreviewHost";
    RegisterClassA(&windowClass);
    RECT rect = {0, 0, 320, 240};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    const int messageOnly = argc == 3 && strcmp(argv[2], "message-only") == 0;
    HWND window = CreateWindowA(
        "PreviewHost", "preview host", messageOnly ? 0 : WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
        rect.right - rect.left, rect.bottom - rect.top, messageOnly ? HWND_MESSAGE : NULL, NULL,
        windowClass.hInstance, NULL);
    printf("%lu\n", (unsigned long)(ULONG_PTR)window);
    fflush(stdout);
    SetTimer(window, 1, 100, Poll);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
