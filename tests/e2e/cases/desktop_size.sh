# --size desktop on a 1600x900 screen covers the whole screen at its own mode: a switch to another
# mode would be refused on this screen (it has no other) and bring the Error box, which does not
# come. The city is drawn; Esc ends it with exit code 0.
start_display 1600x900
start_program --size desktop
wait_window "$title"
geometry=$(client_geometry "$found")
[ "$geometry" = "0 0 1600 900" ] || fail "the window is $geometry, not the whole screen"
! is_framed "$found" || fail "the full-screen window has a frame"
wait_drawing "$found"
[ "$(count_windows Error)" = 0 ] || fail "an Error box appeared: a mode switch was tried"
tap_key "$found" Escape
request_made
expect_exit 0
