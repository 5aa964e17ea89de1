# Windows' settings: zorvik.scr started without arguments (as Windows does for "Settings"), and
# /c, show one box saying there are no settings, and end with exit code 0 once it is closed. Bad
# arguments give an Error box saying what is wrong, and exit code 2.
start_xvfb 1280x720
cp "$program" "$work/zorvik.scr"
for args in "" "/c" "-C:123456"; do
    program="$work/zorvik.scr" start_program $args
    wait_window zorvik
    text=$(probe box zorvik)
    [[ $text == *"no settings"* ]] || fail "the settings box ($args) said: $text"
    [ "$(count_windows "$title")" = 0 ] || fail "the settings ($args) opened the animation"
    dismiss_box "$found"
    expect_exit 0
done
for args in "/q" "/p" "/p notahandle" "--size 0x0" "--pace"; do
    start_program $args
    wait_window Error
    text=$(probe box)
    note "$args: $text"
    [ -n "$text" ] || fail "the Error box for '$args' is empty"
    dismiss_box "$found"
    expect_exit 2
done
