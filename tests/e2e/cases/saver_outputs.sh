# --saver on Wayland: full screen at the output's own mode, no frame, drawn, and a key ends it
# with exit code 0. With a second output beside the first, each output has a full-screen surface
# of its own: no Wayland window can span two outputs.
start_display 1280x720
start_program --saver
wait_window "$title"
geometry=$(client_geometry "$found")
[ "$geometry" = "0 0 1280 720" ] || fail "the saver shows at $geometry on a 1280x720 output"
! is_framed "$found" || fail "the saver's window has a frame"
wait_drawing "$found"
tap_key "$found" space
request_made
expect_exit 0
[ "$(count_windows Error)" = 0 ] || fail "an Error box: $(box_texts)"

add_output 1280x720 1280
start_program --saver
wait_window "$title"
geometry=$(client_geometry "$found")
[ "$geometry" = "0 0 1280 720" ] || fail "with two outputs the saver shows at $geometry"
[ "$(window_field "$found" .fullscreen_mode)" = 1 ] || fail "with two outputs it is not full screen"
wait_drawing "$found"
output_shot HEADLESS-1 first-output
output_shot HEADLESS-2 second-output
tap_key "$found" space
request_made
expect_exit 0
[ "$(count_windows Error)" = 0 ] || fail "an Error box: $(box_texts)"
