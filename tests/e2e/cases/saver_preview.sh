# Windows' /p: the preview fills the client area of the window it is given (made here by a small
# Win32 program, as the Display settings make one), follows it when it is resized, draws, rests
# while that window is hidden, and ends with exit code 0 when that window is destroyed. Hosts in
# which nothing of it could be seen (the desktop, a message-only window) are refused quietly with
# exit code 1, and a /p without a handle with 2. (Wine keeps the OpenGL pixels of a child window of another process off the
# screen, so the picture itself is not looked at here.)
start_xvfb 1280x720
start_preview_host
start_program /p "$host"
wait_for "the preview filling the host" preview_child_is "0 0 320 240"
wait_frames
preview_command resize 480 200
wait_for "the preview following the host" preview_child_is "0 0 480 200"
wait_frames

preview_command hide
wait_for "the host to hide" grep -q hidden "$work/preview.out"
wait_idle
used=$(ticks_in 2)
bench "processor time while the host is hidden (ms in 2000 ms)" $((used * 10))
[ "$used" -le 10 ] || fail "used $((used * 10)) ms of processor time in 2 s with its host hidden"
preview_command show
wait_for "the host to show" grep -q shown "$work/preview.out"
wait_frames

request_made
preview_command destroy
expect_exit 0

# A /p without its handle is a bad command line, refused without a box too.
start_program /p
expect_exit 2
[ "$(probe boxes)" = 0 ] || fail "/p without a handle showed a box"

for host in "$(probe desktop)" message-only; do
    if [ "$host" = message-only ]; then
        start_preview_host message-only
    fi
    start_program /p "$host"
    expect_exit 1
    [ "$(probe boxes)" = 0 ] || fail "/p $host showed a box"
    [ "$(probe count)" = 0 ] || fail "/p $host made a window"
done
