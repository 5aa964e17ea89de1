# Monitors that change while the full-screen saver runs, on Xorg's dummy driver (natively with
# --saver, under Wine with /s): the second monitor switched off, back on, given another mode, moved
# below the first (natively). After each change the saver lives on, every monitor shows the city whole (the
# same state drawn on each: the same picture where two have one shape) and nothing of the desktop,
# and a key still ends it with exit code 0.
start_two_monitors 1280x720
saver=--saver
[ -z "$use_wine" ] || saver=/s
xrandr --addmode DUMMY1 1024x768 2>/dev/null

# The screen's area AREA (WxH+X+Y) as the shot NAME.
area_shot() {
    import -window root "$work/screen.png" 2>/dev/null &&
        convert "$work/screen.png" -crop "$2" +repage "$work/$1.png"
}
# Every monitor drawn, and the first two alike when they have one shape.
monitors_drawn() { # AREA... (the first is the primary monitor's)
    local i=0 area
    for area in "$@"; do
        area_shot "monitor$i" "$area" && drawn "monitor$i" || return 1
        i=$((i + 1))
    done
    [ $# = 1 ] || [ "${1%%+*}" != "${2%%+*}" ] || [ "$(pixels_changed monitor0 monitor1)" = 0 ]
}
# Makes a change, then waits until the monitors show the city as they are now.
change() { # WHAT XRANDR-ARGS... -- AREA...
    local what=$1 start args=()
    shift
    while [ "$1" != -- ]; do args+=("$1") && shift; done
    shift
    start=$(now_ms)
    xrandr "${args[@]}" || fail "xrandr refused: $what"
    xrandr >/dev/null
    wait_for "every monitor drawn after: $what" monitors_drawn "$@"
    running || fail "the saver ended after: $what"
    bench "$what: the views right after (ms)" $(($(now_ms) - start))
    [ -z "${ZORVIK_E2E_SHOTS:-}" ] || cp "$work/screen.png" "$ZORVIK_E2E_SHOTS/${tag:+$tag-}outputs-$what.png"
}

xdotool mousemove 10 10
# At a step a second the picture stays the same long enough for a shot of both monitors.
start_program "$saver" --pace 1
wait_window "$title"
wait_drawing "$found"
wait_for "the same picture on both monitors" monitors_drawn 1280x720+0+0 1280x720+1280+0
change "off" --output DUMMY1 --off -- 1280x720+0+0
change "on" --output DUMMY1 --mode 1280x720 --pos 1280x0 -- 1280x720+0+0 1280x720+1280+0
change "mode" --output DUMMY1 --mode 1024x768 -- 1280x720+0+0 1024x768+1280+0
# Wine 8 tells its programs nothing of a monitor that only moved (no WM_DISPLAYCHANGE, stale
# metrics), so the move is followed natively only.
[ -n "$use_wine" ] ||
    change "below" --output DUMMY1 --mode 1280x720 --pos 0x720 -- 1280x720+0+0 1280x720+0+720
request_made
xdotool key space
expect_exit 0
