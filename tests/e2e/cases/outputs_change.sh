# Monitors that change while the full-screen saver runs, on Xorg's dummy driver (natively with
# --saver, under Wine with /s): the second monitor switched off, back on, given another mode, moved
# below the first. After each change the saver lives on, every monitor shows the city whole (the
# same state drawn on each: the same picture where two have one shape) and nothing of the desktop,
# and a key still ends it with exit code 0. Then the plain full screen, switched to 1280x720 or at
# the desktop's mode, keeps to the primary monitor (its window over it) as it moves and takes
# another mode.
start_two_monitors 1280x720
saver=--saver covering=""
[ -z "$use_wine" ] || saver=/s
xrandr --addmode DUMMY0 1024x768 2>/dev/null
xrandr --addmode DUMMY1 1024x768 2>/dev/null

# Every monitor drawn, and the first two alike when they have one shape, in one shot of the
# screen: at a step a second, two shots could show two states. With one area and a window of that
# area, the plain full screen's window covers the primary monitor.
monitors_drawn() { # AREA... (WxH+X+Y, the first the primary monitor's)
    local i=0 area
    [ -z "$covering" ] || { find_window "$title" && [ "$(x_area "$found")" = "$1" ]; } || return 1
    import -window root "$work/screen.png" 2>/dev/null || return 1
    for area in "$@"; do
        convert "$work/screen.png" -crop "$area" +repage "$work/monitor$i.png" &&
            drawn "monitor$i" || return 1
        i=$((i + 1))
    done
    [ $# = 1 ] || [ "${1%%+*}" != "${2%%+*}" ] || alike monitor0 monitor1
}
# The size the surface last said it draws at (--stats).
drawing_at() { grep -o "draws at [0-9x]*" "$work/stderr" | tail -n 1 | cut -d' ' -f3; }
# Makes a change, then waits until the program draws over the screen (or the primary monitor) as
# it is now and every monitor shows the city.
change() { # WHAT XRANDR-ARGS... -- SIZE AREA...
    local what=$1 start args=() size
    shift
    while [ "$1" != -- ]; do args+=("$1") && shift; done
    size=$2
    shift 2
    start=$(now_ms)
    xrandr "${args[@]}" || fail "xrandr refused: $what"
    xrandr >/dev/null
    wait_for "the drawing at $size after: $what" eval '[ "$(drawing_at)" = "$size" ]'
    # A new surface's first frames come slowly on a busy machine.
    deadline=$((deadline * 2)) wait_for "every monitor drawn after: $what" monitors_drawn "$@"
    running || fail "the program ended after: $what"
    bench "$what: the views right after (ms)" $(($(now_ms) - start))
    [ -z "${ZORVIK_E2E_SHOTS:-}" ] || cp "$work/screen.png" "$ZORVIK_E2E_SHOTS/${tag:+$tag-}outputs-${what// /-}.png"
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

covering=yes
for size in 1280x720 desktop; do
    start_program --size "$size" --stats
    wait_window "$title"
    wait_drawing "$found"
    # The primary's mode is named: the end of a switched mode may set it back (Wine does).
    [ $size = desktop ] && set -- 0x0 1024x768 0x768 1280x720+0+0 || set -- 0x720 1280x720 0x0 \
        1024x768+0+720
    change "$size, primary moved" --output DUMMY0 --pos "$1" --mode "$2" --output DUMMY1 \
        --pos "$3" -- "$2" "$2+${1/x/+}"
    change "$size, primary mode" --output DUMMY0 --mode "${4%%+*}" -- "${4%%+*}" "$4"
    find_window "$title"
    request_made
    tap_key "$found" Escape
    expect_exit 0
done
