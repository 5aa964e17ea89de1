/* A Wayland compositor with a compositor global and nothing else (no layer shell, as GNOME's):
 * it listens on the socket named on the command line in $XDG_RUNTIME_DIR, prints "ready" once
 * clients can connect, and serves them until it is killed. Usage: wayland_bare SOCKET */
#include <stdio.h>
#include <wayland-server.h>

static void Bind(struct wl_client* client, void* data, uint32_t version, uint32_t id) {
    (void)data;
    /* No requests are served: a client that finds no layer shell asks for nothing. */
    if (wl_resource_create(client, &wl_compositor_interface, (int)version, id) == NULL) {
        wl_client_post_no_memory(client);
    }
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s SOCKET\n", argv[0]);
        return 2;
    }
    struct wl_display* display = wl_display_create();
    if (display == NULL || wl_display_add_socket(display, argv[1]) != 0 ||
        wl_global_create(display, &wl_compositor_interface, 4, NULL, Bind) == NULL) {
        fprintf(stderr, "wayland_bare: cannot serve %s\n", argv[1]);
        return 1;
    }
    printf("ready\n");
    fflush(stdout);
    wl_display_run(display);
    wl_display_destroy(display);
    return 0;
}
