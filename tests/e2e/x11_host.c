/* A window for a screen saver to draw into, as a saver host makes one. Prints its id, then obeys
 * lines on standard input: "resize W H", "unmap", "map", "destroy" (the window goes, the program
 * stays until the end of input). Usage: x11_host WIDTH HEIGHT */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11_host: cannot open the display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                        (unsigned)atoi(argv[1]), (unsigned)atoi(argv[2]), 0,
                                        WhitePixel(display, screen), WhitePixel(display, screen));
    XStoreName(display, window, "saver host");
    XMapWindow(display, window);
    XSync(display, False);
    printf("%lu\n", (unsigned long)window);
    fflush(stdout);
    char line[128];
    while (fgets(line, sizeof line, stdin) != NULL) {
        unsigned width = 0, height = 0;
        if (sscanf(line, "resize %u %u", &width, &height) == 2) {
            XResizeWindow(display, window, width, height);
        } else if (strncmp(line, "unmap", 5) == 0) {
            XUnmapWindow(display, window);
        } else if (strncmp(line, "map", 3) == 0) {
            XMapWindow(display, window);
        } else if (strncmp(line, "destroy", 7) == 0 && window != 0) {
            XDestroyWindow(display, window);
            window = 0;
        }
        XSync(display, False);
        printf("done\n");
        fflush(stdout);
    }
    XCloseDisplay(display);
    return 0;
}
