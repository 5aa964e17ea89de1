# Standard streams that are not what a program expects. Started with stderr closed, the program
# gives descriptor 2 to /dev/null before it connects to the display, so that its lines of --stats
# do not go into the X connection (which stalled it inside Xlib, deaf to SIGTERM); with stderr
# into a pipe whose reader has gone, a line of --stats is lost instead of ending the program by
# SIGPIPE. Both end with exit code 0 on SIGTERM.
start_program_with() { # REDIRECTION ARG...: start_program, with stderr as given
    local redirect=$1
    shift
    eval 'env --default-signal=INT "${sanitizer_env[@]}" "$program" "$@" >"$work/stdout" '"$redirect"' &'
    program_pid=$!
}
# Polls until a --stats interval (3 s) has passed since $1, so that a line has been written.
interval_passed() { [ $(($(now_ms) - $1)) -ge 3500 ]; }

start_xvfb 1280x720
start_program_with '2>&-' --window --size 160x90 --stats
wait_window "$title"
[ "$(readlink "/proc/$program_pid/fd/2")" = /dev/null ] ||
    fail "descriptor 2 is $(readlink "/proc/$program_pid/fd/2"), not /dev/null"
started=$(now_ms)
wait_for "a --stats interval with stderr closed" interval_passed "$started"
request_made
kill -s TERM "$program_pid"
expect_exit 0

mkfifo "$work/stderr.fifo"
head -n 1 "$work/stderr.fifo" >"$work/first-line" &
start_program_with '2>"$work/stderr.fifo"' --window --size 160x90 --stats
wait_for "a first line on stderr" test -s "$work/first-line"
note "first line: $(cat "$work/first-line")"
started=$(now_ms)
wait_for "a --stats interval with the reader of stderr gone" interval_passed "$started"
request_made
kill -s TERM "$program_pid"
expect_exit 0
