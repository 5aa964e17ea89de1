# On a 1600x900 screen, which has no 1280x720 mode, the switch is refused: one Error box saying
# so, before any window, and once it is dismissed a framed window. F1 gives a framed window with
# a 1280x720 client area; F1 again tries full screen again (the box once more); the close button
# ends the program with exit code 0.
start_xvfb 1600x900
start_program
wait_window Error
[ "$(count_windows "$title")" = 0 ] || fail "the window came before the box"
dismiss_box "$found"
wait_window "$title"
note "refused, framed: $(client_geometry "$found")"
toggle "$found"
read -r x y w h <<<"$(client_geometry "$found")"
[ "$w $h" = "1280 720" ] || fail "the framed client area is ${w}x$h, expected 1280x720"
is_framed "$found" || fail "F1 gave a window without a frame"
framed=$found
hold_key "$framed" F1
wait_window Error
release_key F1
dismiss_box "$found"
wait_new_window "$framed"
wait_frames
request_made
request_close "$found" || fail "cannot send the close request"
expect_exit 0
texts=$(box_texts)
[ "$texts" = "Mode Switch Failed. Running In Windowed Mode.
Mode Switch Failed. Running In Windowed Mode." ] || fail "the boxes said: $texts"
