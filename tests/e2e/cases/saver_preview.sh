# Windows' /p: the preview fills the client area of the window it is given (made here by a small
# Win32 program, as the Display settings make one), follows it when it is resized, draws, and
# ends with exit code 0 when that window is destroyed. (Wine keeps the OpenGL pixels of a child
# window of another process off the screen, so the picture itself is not looked at here.)
start_xvfb 1280x720
start_preview_host
start_program /p "$host"
wait_for "the preview filling the host" preview_child_is "0 0 320 240"
wait_frames
preview_command resize 480 200
wait_for "the preview following the host" preview_child_is "0 0 480 200"
wait_frames
request_made
preview_command destroy
expect_exit 0
