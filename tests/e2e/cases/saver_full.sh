# Windows' /s: on a 1280x720 and a 1600x900 screen one window covers the whole screen at its own
# mode (no Error box: a switch to another mode would be refused here), shows the city, and ends
# with exit code 0 on a move of the mouse, and on a key. A second /s while one runs exits at once
# with 0.
for size in 1280x720 1600x900; do
    start_xvfb "$size"
    # The first position the saver sees is where the pointer rests; a move away ends it.
    xdotool mousemove 200 200
    start_program /s
    wait_window "$title"
    IFS=x read -r w h <<<"$size"
    geometry=$(client_geometry "$found")
    [ "$geometry" = "0 0 $w $h" ] || fail "the saver's window is $geometry on a $size screen"
    wait_drawing "$found"
    [ "$(count_windows Error)" = 0 ] || fail "an Error box appeared"

    wine "$program" /s >"$work/second.out" 2>&1 &
    second=$!
    wait_for "the second /s to end" eval '! kill -0 "$second" 2>/dev/null'
    wait "$second" || fail "the second /s ended with exit code $?"
    running || fail "the first /s ended with the second"

    wait_frames
    request_made
    xdotool mousemove 600 500
    wait_window_gone "$found"
    expect_exit 0
    wineserver -k
    [ "$size" = 1600x900 ] || kill "$xvfb_pid"
done

start_program /s
wait_window "$title"
wait_frames
request_made
xdotool key space
wait_window_gone "$found"
expect_exit 0
