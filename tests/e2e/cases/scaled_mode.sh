# The plain start on a 1920x1080 output asks for a 1280x720 mode. No Wayland client can change an
# output's mode: SDL offers the output's own mode and common smaller ones, and a window full
# screen at a smaller one is a surface of that size which sway scales over the whole output. No
# Error box comes, and the window and its picture cover the output, not only its top-left
# 1280x720, where the first frame stands until SDL has set up the scaling.
picture_beyond_mode() {
    output_shot HEADLESS-1 output
    convert "$work/output.png" -crop 640x360+1280+720 +repage "$work/corner.png"
    drawn corner
}

start_display 1920x1080
start_program
wait_window "$title"
wait_for "the window over the whole output" eval '[ "$(client_geometry "$found")" = "0 0 1920 1080" ]'
! is_framed "$found" || fail "the full-screen window has a frame"
surface=$(window_field "$found" '"\(.geometry.width)x\(.geometry.height)"')
[ "$surface" = 1280x720 ] || fail "the surface is $surface, not the 1280x720 mode"
wait_for "the picture scaled beyond 1280x720" picture_beyond_mode
[ "$(count_windows Error)" = 0 ] || fail "an Error box: $(box_texts)"
[ "$(screen_size)" = 1920x1080 ] || fail "the output was left at $(screen_size)"
hold_key "$found" Escape
request_made
expect_exit 0
release_key Escape
