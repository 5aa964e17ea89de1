# --wallpaper on a Wayland compositor without the layer shell (as GNOME's): one sentence on stderr
# that says why, exit code 3, and no window.
cc -O1 -o "$work/wayland_bare" "$here/wayland_bare.c" $(pkg-config --cflags --libs wayland-server) ||
    fail "cannot build the bare compositor"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" "$work/wayland_bare" bare-0 >"$work/bare.log" 2>&1 &
bare_pid=$!
at_exit 'kill "$bare_pid" 2>/dev/null'
wait_for "the bare compositor" grep -q ready "$work/bare.log"
start_program DISPLAY= XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=bare-0 --wallpaper
request_made
expect_exit 3
[ "$(wc -l <"$work/stderr")" = 1 ] && grep -q "no layer shell" "$work/stderr" ||
    fail "stderr says: $(cat "$work/stderr")"
