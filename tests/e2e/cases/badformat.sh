# An 8-bit screen has no visual for the 32-bit RGBA pixel format (nor a 32-bit display mode, so
# the mode switch is refused first). The program shows "Error Creating OpenGL Window" and, once
# that is dismissed, ends with a non-zero exit code, no crash, no window left.
start_xvfb 1280x720 8
start_program
dismiss_boxes_until_exit
expect_creation_failure
