# swayidle starts `zorvik --saver` once sway has seen no input for its timeout (1 s here), with
# no variable telling SDL which display to take; the saver covers the output, and a key ends it
# with exit code 0, which a file in nobody's home records.
saver_exits() { cat "$work/home/exits" 2>/dev/null; }
saver_shown() { find_window "$title"; }

start_display 1280x720
nobody_command
"${nobody[@]}" swayidle -w timeout 1 \
    "'$work/bin/zorvik' --saver 2>>'$work/home/stderr'; echo \$? >>'$work/home/exits'" \
    >"$work/swayidle.log" 2>&1 &
idle_pid=$!
at_exit 'kill "$idle_pid" 2>/dev/null'
wait_for "the saver after 1 s without input" saver_shown
geometry=$(client_geometry "$found")
[ "$geometry" = "0 0 1280 720" ] || fail "the saver shows at $geometry on a 1280x720 output"
wait_drawing "$found"
# A saver holds no idle inhibitor, so that swayidle's later timeouts (a lock, the output's
# power-down) still come; the plain animation holds one while it shows (below).
inhibits() { [ "$(window_field "$found" .inhibit_idle)" = "$1" ]; }
inhibits false || fail "the saver holds sway's idle inhibitor"
request_made
tap_key "$found" space
wait_for "the saver's end" eval '[ -n "$(saver_exits)" ]'
bench "ended after the key (ms)" $(($(now_ms) - request_ms))
[ "$(head -n 1 <<<"$(saver_exits)")" = 0 ] || fail "the saver ended with exit code $(saver_exits)"
kill "$idle_pid"
# The key that ended the saver was input, and swayidle may have started another since.
pkill -u 65534 -f "$work/bin/zorvik"
wait_for "no saver left" eval '[ "$(count_windows "$title")" = 0 ]'
start_program --window
wait_window "$title"
wait_for "the animation's idle inhibitor" inhibits true
request_made
kill -s TERM "$program_pid"
expect_exit 0
