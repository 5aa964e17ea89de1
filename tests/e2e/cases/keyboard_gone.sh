# Under sway, with one keyboard staying on the seat, a virtual keyboard that typed a key and went
# leaves the seat's keyboard without a keymap for the next client: SDL 2.26 then crashes as the
# window gets the focus. The saver and a window start, draw, and end on their key with exit code
# 0 all the same.
start_display 1280x720
"${run_as[@]}" wtype -s 3600000 >>"$work/wtype.log" 2>&1 &
staying=$!
at_exit "kill $staying 2>/dev/null"
for args in --saver --window; do
    as_nobody wtype -k space
    start_program "$args"
    wait_window "$title"
    wait_drawing "$found"
    request_made
    tap_key "$found" Escape
    expect_exit 0
done
