# zorvik --saver, for Linux desktops without xscreensaver (xss-lock, swayidle): one window over
# the whole screen at its own mode (no Error box: a switch to another mode would be refused
# here), the city at 60 steps a second, ending with exit code 0 on a key, a button, a move of the
# pointer beyond a few pixels, and the loss of focus to another window; a tremble of the pointer
# does not end it.
start_xvfb 1600x900
for ending in key button move focus; do
    note "ends on: $ending"
    # The pointer rests where the saver first sees it.
    xdotool mousemove 200 200
    start_program --saver --stats
    wait_window "$title"
    saver=$found
    [ "$(client_geometry "$saver")" = "0 0 1600 900" ] ||
        fail "the saver's window is $(client_geometry "$saver") on a 1600x900 screen"
    [ "$(count_windows Error)" = 0 ] || fail "an Error box appeared"
    wait_drawing "$saver"
    xdotool mousemove 203 202
    wait_frames
    running || fail "a move of 3 pixels ended the saver"
    request_made
    case $ending in
    key) xdotool key space ;;
    button) xdotool click 1 ;;
    move) xdotool mousemove 600 500 ;;
    focus)
        start_host 200 100
        xdotool windowfocus "$host"
        ;;
    esac
    wait_window_gone "$saver"
    expect_exit 0
done

# The pace of a saver with its defaults, from --stats.
start_program --saver --stats
wait_window "$title"
expect_step_rate "of --saver" 40 80
request_made
kill -s TERM "$program_pid"
expect_exit 0

# A screen saver lets the X server's own saver (and the display's power-down with it) come on its
# schedule, here after 4 s without input; the plain animation holds it off.
cc -O1 -o "$work/x11_saver_state" "$here/x11_saver_state.c" -lXss -lX11 ||
    fail "cannot build the screen saver probe"
saver_on() { [ "$("$work/x11_saver_state" | cut -d' ' -f1)" = on ]; }
idle_past() { (($("$work/x11_saver_state" | cut -d' ' -f2) > $1)); }
xset s 4 4
for row in "--saver on" "/s on" "--root on" "--window off"; do
    read -r mode expected <<<"$row"
    note "$mode: the X screen saver $expected"
    # Input before the start: the server's idle time begins anew, and its saver goes off.
    xdotool mousemove_relative 1 1
    start_program "$mode"
    wait_frames
    wait_for "8 s without input" idle_past 8000
    if saver_on; then state=on; else state=off; fi
    [ "$state" = "$expected" ] || fail "the X screen saver is $state under $mode"
    running || fail "the program under $mode ended with the X screen saver"
    kill -s TERM "$program_pid"
    expect_exit 0
done
xset s off

# One saver at a time, as on Windows: a second --saver or /s exits at once with 0, and the first
# goes on; also where the second spells the display otherwise, has a runtime folder that the
# first had not, or a Wayland display beside the X one that SDL opens.
mkdir -m 700 "$work/runtime"
start_program XDG_RUNTIME_DIR= --saver
wait_window "$title"
first=$found
for second in --saver /s "DISPLAY=unix$DISPLAY --saver" "DISPLAY=$DISPLAY.0 XDG_RUNTIME_DIR=$work/runtime /s" \
    "WAYLAND_DISPLAY=wayland-zorvik XDG_RUNTIME_DIR=$work/runtime --saver"; do
    read -r -a words <<<"$second"
    program_command "${words[@]:0:${#words[@]}-1}"
    timeout "$deadline" "${program_words[@]}" "${words[-1]}" 2>>"$work/stderr" ||
        fail "a second saver ($second) while one ran: exit code $?"
    running && xwininfo -id "$first" | grep -q IsViewable || fail "the second $second ended the first"
done
kill -s TERM "$program_pid"
expect_exit 0
