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
