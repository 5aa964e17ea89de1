# --window --size 800x600 starts in a framed window whose client area is 800x600, without an Error
# box, and it draws; Esc ends it with exit code 0.
start_display 1280x720
start_program --window --size 800x600
wait_window "$title"
read -r x y w h <<<"$(client_geometry "$found")"
[ "$w $h" = "800 600" ] || fail "the client area is ${w}x$h, expected 800x600"
is_framed "$found" || fail "--window gave a window without a frame"
[ "$(count_windows Error)" = 0 ] || fail "an Error box appeared"
wait_drawing "$found"
tap_key "$found" Escape
request_made
expect_exit 0
