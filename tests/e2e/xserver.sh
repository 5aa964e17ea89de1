# The X server's side of the end-to-end library, the same for the two displays that run on one:
# sourced by x11.sh and wine.sh, which define the rest (and x_server_started, what each needs once
# the server answers). Its verbs of the core's list: start_display (Xvfb), screen_size,
# find_window, not_viewable, count_windows, focus_window, hold_key, release_key, tap_key, click,
# shoot, display_failure; and for the displays' own dismiss_box, press_box_away ID, which presses
# Return on an Error box until it goes. What only an X server has:
#
#   start_xvfb WxH [DEPTH]        a private Xvfb (start_display WxH with a depth of 24)
#   start_two_monitors WxH        a private Xorg with two monitors of WxH side by side
#   start_dummy_xorg WxH [N]      a private Xorg with N monitors (1 by default), real modes
#   has_focus ID                  whether the keyboard's focus is on the window or inside it
#
# Its windows, keys and shots are those of the X server itself (xwininfo, xdotool, import), and
# there is no window manager on the display.
xvfb_pid=""

# The X screen's size, WIDTHxHEIGHT; empty when no server answers.
screen_size() { xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}'; }

# Xvfb picks a free display number itself (-displayfd), by binding its sockets: a number chosen
# here from the lock files is not safe, as a server in another mount namespace (a chroot, a
# container, another private /tmp) leaves no lock file here but holds the number's abstract
# socket, which clients try first. -noreset: by default an X server resets when its last client
# leaves, and closes every connection it has accepted meanwhile, so a client that connects just
# as another leaves (the program starting right after xdpyinfo, the next round after the last)
# finds no display; a busy machine, which slows the server, widens that window.
start_xvfb() {
    local size=$1 depth=${2:-24}
    Xvfb -displayfd 3 -screen 0 "${size}x$depth" -nolisten tcp -noreset \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for "X server with a ${size} screen" xvfb_answers "$size"
    no_key_repeat
    x_server_started
}
# A key is held here across frames, and on a busy machine across the making of a window: a repeat
# would press it again (F1 twice is two toggles, and a window other than the one awaited). The
# server's own delay before a repeat is at most 65535 ms (Xvfb's -ardelay 600000 gave 10176), so
# repeating is switched off.
no_key_repeat() {
    xset r off && xset q | grep -q 'auto repeat: *off' || fail "cannot switch off key repeat"
}
# One or two monitors side by side, each WxH, as Xorg's dummy driver gives them (Xvfb has one
# screen of one mode): DUMMY0, the primary one, at (0,0), DUMMY1 right of it. GLX works there as under
# Xvfb. The server is $xvfb_pid all the same, so that the rest of the library treats it alike.
start_two_monitors() { start_dummy_xorg "$1" 2; }
start_dummy_xorg() {
    local size=$1 count=${2:-1} w h
    IFS=x read -r w h <<<"$size"
    cat >"$work/xorg.conf" <<CONF
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
CONF
    Xorg -noreset -nolisten tcp -config "$work/xorg.conf" -logfile "$work/xorg.log" \
        -displayfd 3 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for "the Xorg server" eval '[ -s "$work/display" ] && DISPLAY=":$(head -n 1 "$work/display")" xdpyinfo >/dev/null 2>&1'
    export DISPLAY=":$(head -n 1 "$work/display")"
    local second=()
    [ "$count" = 1 ] || second=(--output DUMMY1 --mode "$size" --pos "${w}x0")
    [ "$count" = 1 ] || xrandr --addmode DUMMY1 "$size" 2>/dev/null
    xrandr --output DUMMY0 --mode "$size" --pos 0x0 --primary "${second[@]}" ||
        fail "xrandr cannot place $count monitor(s)"
    # A full query makes the server probe its outputs again: until then a client that asks only
    # for the current state (SDL does) still finds the first monitor alone.
    xrandr >/dev/null
    wait_for "a screen of $count monitor(s)" eval '[ "$(screen_size)" = "$((count * w))x$h" ]'
    no_key_repeat
    x_server_started
}

start_display() { start_xvfb "$@"; }

xvfb_answers() {
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(tail -5 "$work/xvfb.log")"
    local n
    n=$(head -n 1 "$work/display")
    [ -n "$n" ] && export DISPLAY=":$n" && [ "$(screen_size)" = "$1" ]
}

# A program that loses its display ends without a word (exit code 1 under Wine).
display_failure() {
    if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "  the X server ${DISPLAY:-} had ended" >&2
        sed 's/^/  xvfb: /' "$work/xvfb.log" | tail -20 >&2
    fi
}
stop_x_server() { [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null; }

# --- Windows -----------------------------------------------------------------------------------

find_window() {
    local id
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'); do
        if [ "$id" != "${2:-}" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
            found=$id
            return 0
        fi
    done
    return 1
}
# "WxH+X+Y" of an X window on the root window, as the X server has it: under Wine too, whose
# own coordinates put the primary monitor at 0,0.
x_area() {
    xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF}
        /Absolute upper-left Y/ {y=$NF} /^  Width/ {w=$NF} /^  Height/ {h=$NF}
        END {print w "x" h "+" x "+" y}'
}
not_viewable() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

# Windows of this title; with "viewable", only those on the screen.
count_windows() {
    local id n=0
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'); do
        [ -z "${2:-}" ] || xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || continue
        n=$((n + 1))
    done
    echo "$n"
}

# --- Keys and the mouse ------------------------------------------------------------------------

# Gives a window the keyboard: the pointer goes over it and it takes the focus, which is awaited
# (on the window or, under Wine, a window inside it).
focus_window() {
    xdotool mousemove --window "$1" 20 40 2>/dev/null
    xdotool windowfocus "$1" 2>/dev/null
    wait_for "keyboard focus on window $1" has_focus "$1"
}
has_focus() {
    local focus
    focus=$(xdotool getwindowfocus -f 2>/dev/null) || return 1
    [ "$focus" = $(($1)) ] || xwininfo -id "$1" -tree 2>/dev/null | grep -q "^ *$(printf '0x%x' "$focus") "
}

# A held key stays down until release_key, so that at least one frame sees it however slowly the
# frames come; a tap presses and releases at once, as a quick finger does, both while one frame
# renders.
hold_key() {
    focus_window "$1"
    xdotool keydown "$2"
}
release_key() { xdotool keyup "$1" 2>/dev/null; }
tap_key() {
    focus_window "$1"
    xdotool key "$2"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# --- Error boxes -------------------------------------------------------------------------------

# Presses Return on an Error box until it goes away, each time once the box has the keyboard
# focus; a box that has only just appeared may miss the first press. No press once the program
# shows its next box, which it would dismiss unseen.
press_box_away() {
    local id=$1 n start pressed
    n=$(count_windows Error viewable)
    [ "$n" -le 1 ] || fail "$n Error boxes at once"
    start=$(now_ms) pressed=0
    until box_gone "$id"; do
        [ $(($(now_ms) - start)) -lt $((deadline * 1000)) ] || fail "the Error box stayed"
        if [ $(($(now_ms) - pressed)) -ge 5000 ]; then
            xdotool mousemove --window "$id" 20 40 windowfocus "$id" 2>/dev/null
            if has_focus "$id" && ! box_gone "$id"; then
                xdotool keydown Return keyup Return
                pressed=$(now_ms)
            fi
        fi
        sleep 0.1
    done
}
box_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable || other_box_shown "$1"; }
other_box_shown() {
    local other
    for other in $(xwininfo -root -tree 2>/dev/null | grep -F '"Error":' | awk '{print $1}'); do
        [ "$other" != "$1" ] && xwininfo -id "$other" 2>/dev/null | grep -q IsViewable && return 0
    done
    return 1
}

# --- Screenshots -------------------------------------------------------------------------------

# A screenshot of a window's client area, as much of it as is on the screen, in $work/NAME.png.
shoot() {
    local x y w h sw sh
    read -r x y w h <<<"$(client_geometry "$1")"
    [ -n "$h" ] || fail "cannot find the client area of window $1"
    IFS=x read -r sw sh <<<"$(screen_size)"
    w=$((w + x > sw ? sw - x : w))
    h=$((h + y > sh ? sh - y : h))
    import -window root -crop "${w}x$h+$x+$y" +repage "$work/$2.png" 2>/dev/null ||
        fail "cannot take a screenshot"
    keep_shot "$2"
}
