# The wallpaper on X11 with two monitors of 1280x720: a window per monitor, each of the desktop's
# type, kept below, out of the taskbar and pager, over its monitor, both showing the same city; SIGTERM
# ends it with exit code 0.
start_two_monitors 1280x720
windows() { xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{print $1}'; }
halves() {
    import -window root "$work/$1.png" 2>/dev/null || return 1
    convert "$work/$1.png" -crop 1280x720+0+0 +repage "$work/$1-left.png" &&
        convert "$work/$1.png" -crop 1280x720+1280+0 +repage "$work/$1-right.png" &&
        keep_shot "$1-left" && keep_shot "$1-right"
}
# At a step a second the picture stays the same long enough for a shot of both monitors.
start_program --wallpaper --pace 1
wait_for "a window on each monitor" eval '[ "$(count_windows "$title" viewable)" = 2 ]'
areas=""
for id in $(windows); do
    xprop -id "$id" _NET_WM_WINDOW_TYPE | grep -q "_NET_WM_WINDOW_TYPE_DESKTOP" ||
        fail "window $id is not of the desktop's type: $(xprop -id "$id" _NET_WM_WINDOW_TYPE)"
    states=$(xprop -id "$id" _NET_WM_STATE)
    for state in BELOW SKIP_TASKBAR SKIP_PAGER; do
        grep -q "_NET_WM_STATE_$state" <<<"$states" || fail "window $id is not $state: $states"
    done
    areas="$areas $(x_area "$id")"
done
[ "$(tr ' ' '\n' <<<"$areas" | sort | tr '\n' ' ')" = " 1280x720+0+0 1280x720+1280+0 " ] ||
    fail "the windows lie at$areas"
# Each monitor shows the same state whole, at its own shape.
wait_for "the same city on both monitors" eval 'halves shot && drawn shot-left && alike shot-left shot-right'
request_made
kill -TERM "$program_pid"
expect_exit 0
