/* Looks at the program's windows through Win32 itself, from a second process under the same
 * Wine prefix. Wine, told not to leave its windows to a window manager, draws their frames inside
 * the X windows, so only Win32 knows where a window's client area really is.
 *
 * Usage (under Wine): win_probe.exe COMMAND
 *   geometry  prints "WL WT WR WB CX CY CW CH" for the window of class "OpenGL": its window
 *             rectangle, then its client area's screen position and size; exit 1 if none
 *   count     prints the number of top-level windows of class "OpenGL"
 *   box [TITLE]  prints the text of the visible dialog box titled "Error" (or TITLE); exit 1 if
 *             there is none
 *   child HOST   prints "X Y W H", the place and size within HOST's client area of the window of
 *             class "OpenGL" that is HOST's child (HOST a decimal handle); exit 1 if none
 *   boxes     prints the number of visible top-level windows titled "Error"
 *   settings  prints "speed=S monitors=M rates=0|1 owner=H" for the visible settings dialog
 *             titled "zorvik": its speed's text, its monitor choice's text, its frame-rate box,
 *             and its owner's handle in decimal (0 without one); exit 1 if there is none
 *   foreground  prints "FOREGROUND WINDOW", the foreground window's handle and that of the window
 *             of class "OpenGL", in decimal; exit 0 only when they are the same window
 *   minimise, restore, close
 *             posts the window the system command its title-bar buttons send */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "shell/win32/settings_dialog_ids.h"

static int g_count;

static BOOL CALLBACK CountClass(HWND window, LPARAM unused) {
    char name[64];
    (void)unused;
    if (GetClassNameA(window, name, sizeof name) > 0 && strcmp(name, "OpenGL") == 0) {
        ++g_count;
    }
    return TRUE;
}

static BOOL CALLBACK CountErrorBoxes(HWND window, LPARAM unused) {
    char title[64];
    (void)unused;
    if (IsWindowVisible(window) && GetWindowTextA(window, title, sizeof title) > 0 &&
        strcmp(title, "Error") == 0) {
        ++g_count;
    }
    return TRUE;
}

/* The dialog's static text control; the message box numbers it 0xFFFF. */
static BOOL CALLBACK PrintStaticText(HWND child, LPARAM found) {
    char name[64], text[512];
    if (GetClassNameA(child, name, sizeof name) > 0 && _stricmp(name, "Static") == 0 &&
        GetWindowTextA(child, text, sizeof text) > 0) {
        printf("%s\n", text);
        *(int*)found = 1;
    }
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        fprintf(stderr,
                "usage: %s geometry|count|box [TITLE]|boxes|settings|child HOST|desktop|"
                "size WxH|foreground|minimise|restore|close\n",
                argv[0]);
        return 2;
    }
    const char* command = argv[1];
    if (strcmp(command, "count") == 0) {
        EnumWindows(CountClass, 0);
        printf("%d\n", g_count);
        return 0;
    }
    if (strcmp(command, "boxes") == 0) {
        EnumWindows(CountErrorBoxes, 0);
        printf("%d\n", g_count);
        return 0;
    }
    if (strcmp(command, "box") == 0) {
        HWND box = FindWindowA("#32770", argc == 3 ? argv[2] : "Error");
        int found = 0;
        if (box == NULL || !IsWindowVisible(box)) {
            return 1;
        }
        EnumChildWindows(box, PrintStaticText, (LPARAM)&found);
        return found ? 0 : 1;
    }
    if (strcmp(command, "settings") == 0) {
        HWND dialog = FindWindowA("#32770", "zorvik");
        char speed[64] = "", monitors[128] = "";
        if (dialog == NULL || !IsWindowVisible(dialog) || GetDlgItem(dialog, IDC_SPEED) == NULL) {
            return 1;
        }
        /* Sent, not GetWindowText: the controls are another process's, whose text only they
         * know. */
        SendDlgItemMessageA(dialog, IDC_SPEED, WM_GETTEXT, sizeof speed, (LPARAM)speed);
        SendDlgItemMessageA(dialog, IDC_MONITORS, WM_GETTEXT, sizeof monitors, (LPARAM)monitors);
        printf("speed=%s monitors=%s rates=%d owner=%lu\n", speed, monitors,
               SendDlgItemMessageA(dialog, IDC_SHOW_RATES, BM_GETCHECK, 0, 0) == BST_CHECKED,
               (unsigned long)(ULONG_PTR)GetWindow(dialog, GW_OWNER));
        return 0;
    }
    if (strcmp(command, "desktop") == 0) {
        printf("%lu\n", (unsigned long)(ULONG_PTR)GetDesktopWindow());
        return 0;
    }
    if (strcmp(command, "child") == 0 && argc == 3) {
        HWND host = (HWND)(ULONG_PTR)strtoul(argv[2], NULL, 10);
        HWND child = FindWindowExA(host, NULL, "OpenGL", NULL);
        RECT client, placed;
        POINT hostOrigin = {0, 0};
        if (child == NULL || !GetClientRect(child, &client) || !GetWindowRect(child, &placed) ||
            !ClientToScreen(host, &hostOrigin)) {
            return 1;
        }
        printf("%ld %ld %ld %ld\n", placed.left - hostOrigin.x, placed.top - hostOrigin.y,
               client.right - client.left, client.bottom - client.top);
        return 0;
    }

    HWND window = FindWindowA("OpenGL", NULL);
    if (window == NULL) {
        fprintf(stderr, "win_probe: no window of class OpenGL\n");
        return 1;
    }
    if (strcmp(command, "foreground") == 0) {
        HWND foreground = GetForegroundWindow();
        printf("%lu %lu\n", (unsigned long)(ULONG_PTR)foreground, (unsigned long)(ULONG_PTR)window);
        return foreground == window ? 0 : 1;
    }
    if (strcmp(command, "geometry") == 0) {
        RECT outer, client;
        POINT origin = {0, 0};
        if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client) ||
            !ClientToScreen(window, &origin)) {
            return 1;
        }
        printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", outer.left, outer.top, outer.right,
               outer.bottom, origin.x, origin.y, client.right - client.left,
               client.bottom - client.top);
        return 0;
    }
    if (strcmp(command, "size") == 0 && argc == 3) {
        /* The client area to WxH, the frame around it as the window's style has it. */
        RECT rect = {0, 0, 0, 0};
        if (sscanf(argv[2], "%ldx%ld", &rect.right, &rect.bottom) != 2) {
            return 2;
        }
        AdjustWindowRectEx(&rect, (DWORD)GetWindowLongA(window, GWL_STYLE), FALSE,
                           (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
        return SetWindowPos(window, NULL, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                            SWP_NOMOVE | SWP_NOZORDER)
                   ? 0
                   : 1;
    }
    WPARAM systemCommand;
    if (strcmp(command, "minimise") == 0) {
        systemCommand = SC_MINIMIZE;
    } else if (strcmp(command, "restore") == 0) {
        systemCommand = SC_RESTORE;
    } else if (strcmp(command, "close") == 0) {
        systemCommand = SC_CLOSE;
    } else {
        fprintf(stderr, "win_probe: unknown command %s\n", command);
        return 2;
    }
    return PostMessageA(window, WM_SYSCOMMAND, systemCommand, 0) ? 0 : 1;
}
