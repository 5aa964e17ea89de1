# A signal ends the program even while a message box waits for a click: on an 800x600 screen the
# full-screen mode is refused and its Error box is up; SIGTERM closes the box and ends the program
# with exit code 0, leaving no box and no window. Whatever else ends the program (SIGKILL, SIGHUP
# from a closed terminal, SIGUSR1), the box and every process it runs in go with it.
program_processes() { pgrep -f "^$program" | grep -vx "$program_pid"; }
no_program_processes() { [ -z "$(pgrep -f "^$program")" ]; }
no_box() { [ "$(count_windows Error viewable)" = 0 ]; }

start_xvfb 800x600
start_program
wait_window Error
request_made
kill -s TERM "$program_pid"
expect_exit 0
[ "$(count_windows Error viewable)" = 0 ] || fail "the Error box stayed after SIGTERM"
[ "$(count_windows "$title" viewable)" = 0 ] || fail "a window of the program remains"

for signal in KILL HUP USR1; do
    note "SIG$signal"
    start_program
    wait_window Error
    [ -n "$(program_processes)" ] || fail "the box has no process of its own"
    request_made
    kill -s "$signal" "$program_pid"
    wait_exit
    wait_for "the box to go with the program (SIG$signal)" no_box
    wait_for "no process of the program left (SIG$signal)" no_program_processes
done
