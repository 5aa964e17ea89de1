# SIGINT and SIGTERM end the program through its normal road: the window closes, the display mode
# is put back and the exit code is 0, in full screen and while minimised (blocked in the message
# wait). Xvfb has one mode only, so the switch to 1280x720 changes nothing that could be seen; the
# screen's size is checked all the same. On Wayland no other program can minimise a window.
start_display 1280x720
rounds=(INT TERM)
[ -n "$use_wayland" ] || rounds+=(TERM-minimised)
for round in "${rounds[@]}"; do
    start_program
    wait_window "$title"
    wait_frames
    if [ "$round" = TERM-minimised ]; then
        minimise "$found"
        wait_idle
    fi
    note "SIG$round"
    request_made
    kill -s "${round%-*}" "$program_pid"
    expect_exit 0
    [ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains after SIG$round"
    [ "$(screen_size)" = 1280x720 ] || fail "the screen was left at $(screen_size)"
    ! grep -q "Error" "$work/stderr" || fail "an error was reported after SIG$round"
done
