# A signal ends the program even while a message box waits for a click: on an 800x600 screen the
# full-screen mode is refused and its Error box is up; SIGTERM closes the box and ends the program
# with exit code 0, leaving no box and no window.
start_xvfb 800x600
start_program
wait_window Error
request_made
kill -s TERM "$program_pid"
expect_exit 0
[ "$(count_windows Error viewable)" = 0 ] || fail "the Error box stayed after SIGTERM"
[ "$(count_windows "$title" viewable)" = 0 ] || fail "a window of the program remains"
