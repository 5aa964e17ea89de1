/* Succeeds when some client owns the X selection named on the command line (a compositing
 * manager's _NET_WM_CM_S0, for instance). Usage: x11_owner SELECTION */
#include <X11/Xlib.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s SELECTION\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11_owner: cannot open the display\n");
        return 2;
    }
    const Window owner = XGetSelectionOwner(display, XInternAtom(display, argv[1], False));
    XCloseDisplay(display);
    return owner != None ? 0 : 1;
}
