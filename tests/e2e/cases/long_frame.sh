# A quit signal ends the program within the deadline even while one frame takes far longer: full
# screen on an 8192x8192 screen in software rendering, where the first frame alone runs for
# minutes inside the driver. SIGTERM comes while that frame is being drawn.
start_xvfb 8192x8192
start_program --size desktop
wait_window "$title"
wait_frames
request_made
kill -s TERM "$program_pid"
expect_exit 0
[ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains"
