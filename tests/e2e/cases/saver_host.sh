# xscreensaver's way, with a window of another program: --window-id draws the city into that
# window, filling it, follows it when it is resized, and ends with exit code 0 when the window is
# destroyed; a second run ends with 0 on SIGTERM.
start_xvfb 1280x720
start_host 400 300
start_program --window-id "$host"
wait_for "the program's window filling the host" host_child_is 400x300
wait_drawing "$host"
host_command resize 640 240
wait_for "the program's window following the host" host_child_is 640x240
wait_drawing "$host"
request_made
host_command destroy
expect_exit 0
[ "$(count_windows "$title")" = 0 ] || fail "the program left a window of its own"

start_host 320 200
start_program --window-id "$(printf '0x%x' "$host")"
wait_for "the program's window filling the host" host_child_is 320x200
wait_drawing "$host"
request_made
kill -s TERM "$program_pid"
expect_exit 0
