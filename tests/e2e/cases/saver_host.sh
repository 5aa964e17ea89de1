# xscreensaver's way, with a window of another program: --window-id draws the city into that
# window, filling it, follows it when it is resized, rests while it is unmapped, and ends with exit
# code 0 when the window is destroyed; a second run ends with 0 on SIGTERM. An id no X window can
# have is refused with exit code 2, and one that names no window ends with 1, naming it.
start_xvfb 1280x720
start_host 400 300
start_program --window-id "$host"
wait_for "the program's window filling the host" host_child_is 400x300
wait_drawing "$host"
host_command resize 640 240
wait_for "the program's window following the host" host_child_is 640x240
wait_drawing "$host"

host_command unmap
wait_idle
used=$(ticks_in 2)
bench "processor time while the host is unmapped (ms in 2000 ms)" $((used * 10))
[ "$used" -le 10 ] || fail "used $((used * 10)) ms of processor time in 2 s with its host unmapped"
host_command map
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

# 0x10000050d would be cut to 32 bits, and so to another window.
start_program --window-id 0x10000050d
expect_exit 2
grep -q "X window id" "$work/stderr" || fail "a too large id was not named: $(cat "$work/stderr")"
start_program --window-id 0x1ffffff0
expect_exit 1
grep -q "window 0x1ffffff0" "$work/stderr" ||
    fail "the missing window was not named: $(cat "$work/stderr")"

# A host window on the display's second screen, the program on the first: the child takes the
# host's screen and draws there.
stop_x_server
Xvfb -displayfd 3 -screen 0 640x480x24 -screen 1 640x480x24 -nolisten tcp -noreset \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for "an X server with two screens" eval 'xdpyinfo -display ":$(head -n 1 "$work/display")" >/dev/null 2>&1'
export DISPLAY=":$(head -n 1 "$work/display").1"
start_host 300 200
export DISPLAY=${DISPLAY%.1}.0
start_program --window-id "$host"
DISPLAY=${DISPLAY%.0}.1 wait_for "the program's window filling the host" host_child_is 300x200
request_made
kill -s TERM "$program_pid"
expect_exit 0
! grep -q "refused" "$work/stderr" || fail "$(cat "$work/stderr")"
