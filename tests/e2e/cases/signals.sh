# Every signal whose default would end the program (SIGINT, SIGTERM, a closed terminal's SIGHUP,
# SIGUSR1, a timer's, a resource limit's, a real-time one) ends it through its normal road: the
# window closes, the display mode is put back and the exit code is 0, in full screen and while
# minimised (blocked in the message wait). Natively under X11 this runs on Xorg's dummy driver,
# whose modes are real: the desktop's 1600x900 is switched to 1280x720 and must come back. A
# SIGINT ignored at the start (a script's background job) stays ignored: the program runs on, and
# a later SIGTERM still ends it cleanly. On Wayland no other program can minimise a window.
if [ -n "$use_wayland" ]; then start_display 1600x900; else start_dummy_xorg 1600x900; fi
desktop=$(screen_size)
rounds=(INT TERM HUP USR1 USR2 ALRM VTALRM PROF XCPU PWR RTMIN INT-ignored)
[ -n "$use_wayland" ] || rounds+=(TERM-minimised)
ignores_int() { (($(awk '/^SigIgn/ {print "0x" $2}' "/proc/$(program_process)/status") & 2)); }
for round in "${rounds[@]}"; do
    signal=${round%-*}
    start_signals=""
    [ "$round" != INT-ignored ] || start_signals=--ignore-signal=INT
    start_program
    wait_window "$title"
    wait_frames
    if [ "$round" = TERM-minimised ]; then
        minimise "$found"
        wait_idle
    fi
    note "SIG$round"
    if [ "$round" = INT-ignored ]; then
        ignores_int || fail "SIGINT, ignored at the start, is no longer ignored"
        kill -s INT "$program_pid"
        wait_frames
        signal=TERM
    fi
    request_made
    kill -s "$signal" "$program_pid"
    expect_exit 0
    [ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains after SIG$round"
    [ "$(screen_size)" = "$desktop" ] || fail "the screen was left at $(screen_size) after SIG$round"
    ! grep -qE "Error|did not end soon" "$work/stderr" || fail "stderr after SIG$round: $(cat "$work/stderr")"
done
