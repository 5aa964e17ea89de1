# A quit signal ends the program even while a message box waits for a click, as SIGTERM does:
# the box closes at once and the program leaves by its normal road, before the quit watchdog's
# last resort (which would say so on stderr and end with 0 whatever the run's outcome). On an
# 800x600 screen the full-screen mode is refused and its Error box is up: every quit signal ends
# the program with exit code 0. Without OpenGL the start fails and its Error box is up: the
# signal ends it with the failure's 1. Whatever else ends the program (SIGKILL), the box and
# every process it runs in go with it.
program_processes() { pgrep -f "^$program" | grep -vx "$program_pid"; }
no_program_processes() { [ -z "$(pgrep -f "^$program")" ]; }
no_box() { [ "$(count_windows Error viewable)" = 0 ]; }

# SIGNAL CODE WHAT [VAR=VALUE...] [ARG...]: the box up, the signal, then the end within a time a
# hang would exceed (the watchdog would end it after 10 s), with CODE and no word of the watchdog.
signal_over_box() {
    local signal=$1 code=$2 what=$3
    shift 3
    note "SIG$signal over the box of $what"
    start_program "$@"
    wait_window Error
    [ -n "$(program_processes)" ] || fail "the box has no process of its own"
    request_made
    kill -s "$signal" "$program_pid"
    deadline=30 expect_exit "$code"
    ! grep -q "did not end" "$work/stderr" || fail "SIG$signal: the watchdog ended the program"
    no_box || fail "the Error box stayed after SIG$signal"
    [ "$(count_windows "$title" viewable)" = 0 ] || fail "a window of the program remains"
    wait_for "no process of the program left (SIG$signal)" no_program_processes
}

# A script's background job starts with SIGINT and SIGQUIT ignored, which the program keeps.
start_signals=--default-signal=INT,QUIT
start_xvfb 800x600
for signal in TERM INT HUP QUIT USR1; do
    signal_over_box "$signal" 0 "a refused mode switch"
done
for signal in TERM HUP USR2; do
    signal_over_box "$signal" 1 "a failed start" LIBGL_DRIVERS_PATH=/nonexistent/zorvik-e2e --window
done

note "SIGKILL"
start_program
wait_window Error
request_made
kill -s KILL "$program_pid"
wait_exit
wait_for "the box to go with the program (SIGKILL)" no_box
wait_for "no process of the program left (SIGKILL)" no_program_processes
