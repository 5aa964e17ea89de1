/* Sends the program's window a system command, as its title-bar buttons do.
 * Usage (under Wine): win_syscommand.exe minimise|restore */
#include <stdio.h>
#include <string.h>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s minimise|restore\n", argv[0]);
        return 2;
    }
    const WPARAM command = strcmp(argv[1], "minimise") == 0 ? SC_MINIMIZE : SC_RESTORE;
    HWND window = FindWindowA("OpenGL", NULL);
    if (window == NULL) {
        fprintf(stderr, "win_syscommand: no window of class OpenGL\n");
        return 1;
    }
    return PostMessageA(window, WM_SYSCOMMAND, command, 0) ? 0 : 1;
}
