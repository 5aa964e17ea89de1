# No usable OpenGL driver: Mesa cannot load its renderer, falls back to indirect rendering and the
# X server refuses it. The program shows "Error Creating OpenGL Window" and, once that is
# dismissed, ends with a non-zero exit code, no crash, no window left.
start_xvfb 1280x720
start_program LIBGL_DRIVERS_PATH=/nonexistent/zorvik-e2e
dismiss_boxes_until_exit
expect_creation_failure
