# With no display the program says so on stderr and ends with a non-zero exit code, no crash.
unset DISPLAY WAYLAND_DISPLAY
start_program
wait_exit
[ "$exit_code" -ne 0 ] || fail "exit code 0 without a display"
[ "$exit_code" -lt 128 ] || fail "ended by signal $((exit_code - 128))"
grep -qi "display" "$work/stderr" || fail "stderr does not mention the display"
note "without a display: exit code $exit_code, stderr: $(grep -m1 "^zorvik" "$work/stderr")"

# With DISPLAY naming a display that is not there, the message names it.
export DISPLAY=:999
start_program
wait_exit
[ "$exit_code" = 1 ] || fail "exit code $exit_code with DISPLAY=:999"
grep -q "cannot open the display ':999'" "$work/stderr" ||
    fail "stderr does not name the display: $(head -1 "$work/stderr")"
