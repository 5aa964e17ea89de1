/* The X screen saver's state as the server keeps it: "on", "off" or "disabled", and the
 * milliseconds since the last input. Usage: x11_saver_state */
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (display == NULL || info == NULL ||
        !XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) {
        fprintf(stderr, "x11_saver_state: no screen saver information\n");
        return 1;
    }
    const char* state = info->state == ScreenSaverOn    ? "on"
                        : info->state == ScreenSaverOff ? "off"
                                                        : "disabled";
    printf("%s %lu\n", state, info->idle);
    return 0;
}
