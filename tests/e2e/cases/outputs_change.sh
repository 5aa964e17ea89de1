# Monitors that change while the full-screen saver runs, on Xorg's dummy driver (natively with
# --saver, under Wine with /s): the second monitor switched off, back on, given another mode, moved
# below the first. After each change the saver lives on, every monitor shows the city whole (the
# same state drawn on each: the same picture where two have one shape) and nothing of the desktop,
# and a key still ends it with exit code 0.
start_two_monitors 1280x720
saver=--saver
[ -z "$use_wine" ] || saver=/s
xrandr --addmode DUMMY0 1024x768 2>/dev/null
xrandr --addmode DUMMY1 1024x768 2>/dev/null

# Every monitor drawn, and the first two alike when they have one shape, in one shot of the
# screen: at a step a second, two shots could show two states.
monitors_drawn() { # AREA... (WxH+X+Y, the first the primary monitor's)
    local i=0 area
    import -window root "$work/screen.png" 2>/dev/null || return 1
    for area in "$@"; do
        convert "$work/screen.png" -crop "$area" +repage "$work/monitor$i.png" &&
            drawn "monitor$i" || return 1
        i=$((i + 1))
    done
    [ $# = 1 ] || [ "${1%%+*}" != "${2%%+*}" ] || alike monitor0 monitor1
}
# The size the saver's surface last said it draws at (--stats).
drawing_at() { grep -o "draws at [0-9x]*" "$work/stderr" | tail -n 1 | cut -d' ' -f3; }
# Makes a change, then waits until the saver draws over the screen as it is now and every
# monitor shows the city.
change() { # WHAT XRANDR-ARGS... -- SCREEN AREA...
    local what=$1 start args=() screen
    shift
    while [ "$1" != -- ]; do args+=("$1") && shift; done
    screen=$2
    shift 2
    start=$(now_ms)
    xrandr "${args[@]}" || fail "xrandr refused: $what"
    xrandr >/dev/null
    wait_for "the saver drawing at $screen after: $what" eval '[ "$(drawing_at)" = "$screen" ]'
    # A new surface's first frames come slowly on a busy machine.
    deadline=$((deadline * 2)) wait_for "every monitor drawn after: $what" monitors_drawn "$@"
    running || fail "the saver ended after: $what"
    bench "$what: the views right after (ms)" $(($(now_ms) - start))
    [ -z "${ZORVIK_E2E_SHOTS:-}" ] || cp "$work/screen.png" "$ZORVIK_E2E_SHOTS/${tag:+$tag-}outputs-$what.png"
}

xdotool mousemove 10 10
# At a step a second the picture stays the same long enough for a shot of both monitors.
start_program "$saver" --pace 1 --stats
wait_window "$title"
wait_drawing "$found"
wait_for "the same picture on both monitors" monitors_drawn 1280x720+0+0 1280x720+1280+0
change "off" --output DUMMY1 --off -- 1280x720 1280x720+0+0
change "on" --output DUMMY1 --mode 1280x720 --pos 1280x0 -- 2560x720 1280x720+0+0 1280x720+1280+0
change "mode" --output DUMMY1 --mode 1024x768 -- 2304x768 1280x720+0+0 1024x768+1280+0
change "below" --output DUMMY1 --mode 1280x720 --pos 0x720 -- 1280x1440 1280x720+0+0 \
    1280x720+0+720
request_made
xdotool key space
expect_exit 0

# The plain full screen, with its switch to 1280x720 and at the desktop's mode, keeps to the primary
# monitor: the window over it, and a picture in it. (A change may give it a new window.)
covers() { # AREA (WxH+X+Y)
    find_window "$title" && [ "$(x_area "$found")" = "$1" ] &&
        import -window root "$work/screen.png" 2>/dev/null &&
        convert "$work/screen.png" -crop "$1" +repage "$work/primary.png" && drawn primary
}
follow() { # WHAT XRANDR-ARGS... -- AREA
    local what="$how, $1" start args=() size
    shift
    while [ "$1" != -- ]; do args+=("$1") && shift; done
    size=${2%%+*}
    start=$(now_ms)
    xrandr "${args[@]}" || fail "xrandr refused: $what"
    xrandr >/dev/null
    wait_for "the drawing at $size after: $what" eval '[ "$(drawing_at)" = "$size" ]'
    deadline=$((deadline * 2)) wait_for "the primary monitor covered after: $what" covers "$2"
    bench "$what: the view right after (ms)" $(($(now_ms) - start))
    [ -z "${ZORVIK_E2E_SHOTS:-}" ] || cp "$work/screen.png" "$ZORVIK_E2E_SHOTS/${tag:+$tag-}outputs-${what//[ ,\']/-}.png"
}
how="full screen"
start_program --stats
wait_window "$title"
wait_drawing "$found"
follow "primary moved" --output DUMMY0 --pos 0x720 --output DUMMY1 --pos 0x0 -- 1280x720+0+720
follow "primary mode" --output DUMMY0 --mode 1024x768 -- 1024x768+0+720
request_made
tap_key "$found" Escape
expect_exit 0

how="desktop's mode"
start_program --size desktop --stats
wait_window "$title"
wait_drawing "$found"
# The switched mode's end may have set the primary monitor's mode back (Wine does): it is named.
follow "primary moved" --output DUMMY0 --mode 1024x768 --pos 0x0 --output DUMMY1 --pos 0x768 -- \
    1024x768+0+0
follow "primary mode" --output DUMMY0 --mode 1280x720 -- 1280x720+0+0
request_made
tap_key "$found" Escape
expect_exit 0
