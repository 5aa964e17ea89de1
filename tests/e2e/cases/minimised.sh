# While minimised the program uses almost no processor time; restored (under Wine, where it can
# be restored without a window manager) it draws again; the close button ends it with exit code 0.
start_xvfb 1280x720
start_program
wait_window "$title"
id=$found
wait_frames
minimise "$id" || fail "cannot minimise the window"
wait_idle
used=$(ticks_in 2)
note "processor time while minimised: $((used * 10)) ms in 2000 ms"
[ "$used" -le 10 ] || fail "used $((used * 10)) ms of processor time in 2 s while minimised"
if [ -n "$use_wine" ]; then
    restore || fail "cannot restore the window"
    wait_window "$title"
    id=$found
    wait_frames
else
    xprop -id "$id" _NET_WM_STATE | grep -q HIDDEN ||
        fail "the window's state was changed back: $(xprop -id "$id" _NET_WM_STATE)"
fi
request_made
request_close "$id" || fail "cannot send the close request"
expect_exit 0
