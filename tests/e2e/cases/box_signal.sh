# Every quit signal closes a message box as SIGTERM does and the program ends by its normal road
# with its own exit code (not the watchdog's, 10 s later, which says so on stderr): 0 after the
# refused mode switch's box on an 800x600 screen, 1 after the box of a start without OpenGL. The
# box and every process it runs in go with the program, whatever ends it (SIGKILL).
program_processes() { pgrep -f "^$program" | grep -vx "$program_pid"; }
no_program_processes() { [ -z "$(pgrep -f "^$program")" ]; }
no_box() { [ "$(count_windows Error viewable)" = 0 ]; }

# A script's background job starts with SIGINT and SIGQUIT ignored, which the program keeps.
start_signals=--default-signal=INT,QUIT
start_xvfb 800x600
for row in "TERM INT HUP QUIT USR1 KILL:0" "TERM HUP USR2:1 LIBGL_DRIVERS_PATH=/nonexistent --window"; do
    read -r -a start <<<"${row#*:}"
    for signal in ${row%%:*}; do
        note "SIG$signal, box of a start that ends with ${start[0]}"
        start_program "${start[@]:1}"
        wait_window Error
        [ -n "$(program_processes)" ] || fail "the box has no process of its own"
        request_made
        kill -s "$signal" "$program_pid"
        deadline=30 wait_exit
        wait_for "the box to go with the program (SIG$signal)" no_box
        wait_for "no process of the program left (SIG$signal)" no_program_processes
        [ "$signal" = KILL ] && continue
        [ "$exit_code" = "${start[0]}" ] || fail "SIG$signal: exit code $exit_code, not ${start[0]}"
        ! grep -q "did not end" "$work/stderr" || fail "SIG$signal: the watchdog ended the program"
    done
done
