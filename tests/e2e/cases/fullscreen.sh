# On a 1280x720 screen the program starts full screen: a 1280x720 window at (0,0) without a
# frame, and no Error box. F1 gives a framed window, F1 again full screen; Esc ends it with exit
# code 0.
expect_full_screen() {
    local geometry
    geometry=$(client_geometry "$1")
    [ "$geometry" = "0 0 1280 720" ] || fail "$2 the window is $geometry, not full screen"
    ! is_framed "$1" || fail "$2 the full-screen window has a frame"
}

start_display 1280x720
start_program
wait_window "$title"
[ "$(count_windows Error)" = 0 ] || fail "an Error box appeared on a 1280x720 screen"
expect_full_screen "$found" "at the start"
toggle "$found"
is_framed "$found" || fail "F1 gave another full-screen window"
note "after F1: client area $(client_geometry "$found")"
toggle "$found"
expect_full_screen "$found" "after the second F1"
request_made
hold_key "$found" Escape
wait_window_gone "$found"
expect_exit 0
release_key Escape
