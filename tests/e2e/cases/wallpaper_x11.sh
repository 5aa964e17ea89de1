# The wallpaper on X11 with two monitors of 1280x720 under a window manager (openbox): a window per
# monitor, each of the desktop's type, kept below, out of the taskbar and pager, over its monitor,
# both showing the same city; another program's window stays above it and keeps the focus through
# clicks on the wallpaper and raises of it; a window covering a monitor whole stops that monitor's
# frames; a change of a monitor's mode re-places its view; SIGTERM ends it with exit code 0. Then
# --root under a compositing manager says once that the wallpaper is what shows there.
start_two_monitors 1280x720
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
at_exit 'kill "$wm_pid" 2>/dev/null'
wait_for "openbox" eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
windows() { xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{print $1}'; }
shot() {
    import -window root "$work/$1.png" 2>/dev/null || return 1
    convert "$work/$1.png" -crop 1280x720+0+0 +repage "$work/$1-left.png" &&
        convert "$work/$1.png" -crop 1280x720+1280+0 +repage "$work/$1-right.png" &&
        keep_shot "$1-left" && keep_shot "$1-right"
}
areas() { for id in $(windows); do x_area "$id"; done | sort | tr '\n' ' '; }
# At a step a second the picture stays the same long enough for a shot of both monitors.
start_program --wallpaper --pace 1 --stats
wait_for "a window on each monitor" eval '[ "$(count_windows "$title" viewable)" = 2 ]'
for id in $(windows); do
    xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q "_NET_WM_WINDOW_TYPE_DESKTOP" ||
        fail "window $id is not of the desktop's type: $(xprop -id "$id" _NET_WM_WINDOW_TYPE)"
    states=$(xprop -id "$id" _NET_WM_STATE)
    for state in BELOW SKIP_TASKBAR SKIP_PAGER; do
        grep -q "_NET_WM_STATE_$state" <<<"$states" || fail "window $id is not $state: $states"
    done
done
[ "$(areas)" = "1280x720+0+0 1280x720+1280+0 " ] || fail "the windows lie at $(areas)"
# Each monitor shows the same state whole, at its own shape.
wait_for "the same city on both monitors" eval 'shot both && drawn both-left && alike both-left both-right'

# Another program's window on the first monitor, clicked, then the wallpaper clicked on both
# monitors and raised: the window stays above, with the focus, and the city shows around it.
start_host 400 300
click "$host" 50 50
xdotool mousemove 900 600 click 1 mousemove 2200 400 click 1
for id in $(windows); do xdotool windowraise "$id"; done
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2; }
above_all() {
    local list last
    list=$(stacking) last=$(awk '{print $NF}' <<<"$list")
    [ $((last)) = $((host)) ]
}
wait_for "the other window on top of the stack" above_all
for id in $(windows); do
    xdotool getwindowfocus -f | grep -qx "$((id))" && fail "the wallpaper took the focus"
done
wait_for "the city around the window on both monitors" eval 'shot around && drawn around-left && drawn around-right'

# That window over the whole second monitor: its view draws nothing until the window goes.
frames_of() { grep "frames drawn by surface" "$work/stderr" | tail -n "$2" | head -n 1 | grep -o " $1=[0-9]*" | cut -d= -f2; }
still() { local a b; a=$(frames_of "$1" 1) b=$(frames_of "$1" 2); [ -n "$a" ] && [ "$a" = "$b" ]; }
moving() { local a b; a=$(frames_of "$1" 1) b=$(frames_of "$1" 2); [ -n "$a" ] && [ "$a" != "$b" ]; }
wait_for "both surfaces drawing" eval 'moving 1 && moving 2'
start=$(now_ms)
xdotool windowmove "$host" 1280 0 windowsize "$host" 1280 720 windowraise "$host"
wait_for "a surface out of sight" grep -q "out of sight" "$work/stderr"
bench "a monitor covered: its surface stopped within (ms)" $(($(now_ms) - start))
covered=$(grep -o "surface [0-9]* out of sight" "$work/stderr" | awk '{print $2}')
seen=$((3 - covered))
wait_for "the covered monitor's surface still" still "$covered"
moving "$seen" || fail "surface $seen stopped too"
kill "$host_pid"
host_pid=""
wait_for "surface $covered drawing again" moving "$covered"

# A monitor's new mode: its view follows.
xrandr --addmode DUMMY1 800x600 2>/dev/null
xrandr --output DUMMY1 --mode 800x600 --pos 1280x0 || fail "xrandr cannot set 800x600"
xrandr >/dev/null
wait_for "the views re-placed" eval '[ "$(areas)" = "1280x720+0+0 800x600+1280+0 " ]'
wait_for "the city on the changed monitor" eval 'import -window root -crop 800x600+1280+0 "$work/changed.png" 2>/dev/null && drawn changed'
keep_shot changed
request_made
kill -TERM "$program_pid"
expect_exit 0

# A compositing manager draws the windows over the root window: --root draws on, and says so once.
xcompmgr >"$work/xcompmgr.log" 2>&1 &
cm_pid=$!
at_exit 'kill "$cm_pid" 2>/dev/null'
cc -O1 -o "$work/x11_owner" "$here/x11_owner.c" -lX11 || fail "cannot build the selection helper"
wait_for "xcompmgr's selection" "$work/x11_owner" _NET_WM_CM_S0
start_program --root
wait_for "the sentence about the compositing manager" grep -q "compositing manager" "$work/stderr"
request_made
kill -TERM "$program_pid"
expect_exit 0
[ "$(grep -c "compositing manager" "$work/stderr")" = 1 ] || fail "the sentence came more than once"
