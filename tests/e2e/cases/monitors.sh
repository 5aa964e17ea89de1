# The full-screen saver on two monitors of 1280x720 side by side: by default each shows the city
# whole, at its own shape (the same state drawn twice: the two halves of the screen are the same
# picture); --monitors span stretches one view over both (the halves differ); --monitors primary
# draws on the primary one and leaves the other black, and natively follows the primary flag and a
# monitor that goes. Natively with --saver, under Wine with /s.
start_two_monitors 1280x720
saver=--saver
[ -z "$use_wine" ] || saver=/s

halves() { # NAME: the two monitors' pictures of the screen, NAME-left.png and NAME-right.png
    import -window root "$work/$1.png" 2>/dev/null || return 1
    convert "$work/$1.png" -crop 1280x720+0+0 +repage "$work/$1-left.png" &&
        convert "$work/$1.png" -crop 1280x720+1280+0 +repage "$work/$1-right.png"
}
both_drawn_alike() { halves shot && drawn shot-left && alike shot-left shot-right; }
both_drawn_apart() { halves shot && drawn shot-left && drawn shot-right &&
    ! alike shot-left shot-right; }
left_drawn_right_black() { halves shot && drawn shot-left && black shot-right; }

for mode in each span primary; do
    note "--monitors $mode"
    xdotool mousemove 10 10
    # At a step a second the picture stays the same long enough for a shot of both monitors.
    start_program "$saver" --monitors "$mode" --pace 1
    wait_window "$title"
    # Past the window's plain background (white under Wine): the city's frames.
    wait_drawing "$found"
    case $mode in
    each) wait_for "the same picture on both monitors" both_drawn_alike ;;
    span) wait_for "one picture across both monitors" both_drawn_apart ;;
    primary)
        wait_for "a picture on the primary monitor, the other black" left_drawn_right_black
        if [ -z "$use_wine" ]; then
            # The city follows the primary flag to the second monitor; when that monitor goes,
            # the one left shows it, primary or not.
            xrandr --output DUMMY1 --primary || fail "xrandr cannot make DUMMY1 the primary"
            wait_for "the picture on the new primary monitor, the first black" \
                eval 'halves shot && drawn shot-right && black shot-left'
            xrandr --output DUMMY1 --off && xrandr >/dev/null || fail "xrandr cannot switch DUMMY1 off"
            # The saver remakes its window for the one monitor; a key pressed before the new one
            # holds the keyboard would go to no window (the old one's focus goes with it).
            wait_for "a window of one monitor's shape with the keyboard" eval \
                'find_window "$title" && [ "$(x_area "$found")" = 1280x720+0+0 ] && has_focus "$found"'
            wait_for "the picture on the monitor left" eval \
                'import -window root -crop 1280x720+0+0 "$work/left.png" 2>/dev/null && drawn left'
        fi
        ;;
    esac
    if [ -n "${ZORVIK_E2E_SHOTS:-}" ]; then
        mkdir -p "$ZORVIK_E2E_SHOTS"
        cp "$work/shot.png" "$ZORVIK_E2E_SHOTS/${use_wine:+wine-}monitors-$mode.png"
    fi
    request_made
    xdotool key space
    wait_window_gone "$found"
    expect_exit 0
done
