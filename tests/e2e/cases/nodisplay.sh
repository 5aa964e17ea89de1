# With no display the program says so on stderr and ends with a non-zero exit code, no crash.
# Without XDG_RUNTIME_DIR the Wayland library complains too: its words come after ours.
unset DISPLAY WAYLAND_DISPLAY XDG_RUNTIME_DIR
start_program
wait_exit
[[ $(head -n 1 "$work/stderr") == zorvik:* ]] || fail "stderr begins: $(head -n 1 "$work/stderr")"
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

# A video driver that cannot start is blamed on the variable that named it, not on the display.
start_program SDL_VIDEODRIVER=x12
wait_exit
[ "$exit_code" = 1 ] && grep -q "^zorvik: SDL_VIDEODRIVER=x12" "$work/stderr" ||
    fail "exit code $exit_code with SDL_VIDEODRIVER=x12: $(head -1 "$work/stderr")"
