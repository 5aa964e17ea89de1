# The native program on a private Xvfb, the end-to-end library's display when run_case.sh names
# none: the X server's side is xserver.sh's, and a window is the program's own X window. With no
# window manager on the display, minimise and request_close send what one would send. What only
# this display has:
#
#   start_host W H, host_command LINE, host_child_is WxH   an X window of another program
#   start_xscreensaver, saver_command ARG..., hack_running, hack_gone   the xscreensaver daemon
source "$here/xserver.sh"
host_pid=""

# Natively nothing more is needed once the server answers.
x_server_started() { :; }
display_cleanup() {
    [ -z "$host_pid" ] || kill "$host_pid" 2>/dev/null
    stop_x_server
}

# --- The program -------------------------------------------------------------------------------

# A background job of a script starts with SIGINT ignored, and the program rightly keeps a signal
# its parent chose to ignore; give it the default, as a terminal would.
program_command() {
    program_words=(env "${start_signals:---default-signal=INT}" "${sanitizer_env[@]}" "$@" "$program")
}
# The process that runs the program's code: the one started.
program_process() { echo "$program_pid"; }

# The texts of the Error boxes shown so far, one a line, from stderr, so that a box that follows
# another too fast to be seen counts.
box_texts() { boxes_on_stderr; }
expect_failure_explained() { creation_failure_on_stderr; }
dismiss_box() { press_box_away "$1"; }

# --- Windows -----------------------------------------------------------------------------------

# "x y width height" of the program's client area on the screen: the X window itself.
client_geometry() { x_area "$1" | awk -F'[x+]' '{print $3, $4, $1, $2}'; }

# With no window manager to draw a frame, the two kinds differ only in that the full-screen
# pop-up asks to be kept above the others (the topmost style).
is_framed() { ! xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }

# The close button's request, as a window manager sends it.
request_close() {
    [ -x "$work/x11_close" ] || cc -O1 -o "$work/x11_close" "$here/x11_close.c" -lX11 ||
        fail "cannot build the close helper"
    "$work/x11_close" "$1"
}

# What a window manager does when it iconifies a window.
minimise() { xprop -id "$1" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN; }
# Giving a window back is the window manager's: with none, a minimised window stays so.
restore() { fail "no window manager to restore a window natively"; }
# Sizes the client area of window ID to WxH.
resize_window() { xdotool windowsize "$1" "${2%x*}" "${2#*x}"; }

# --- Screen-saver hosts ------------------------------------------------------------------------

# An X window of another program for the saver to draw in (x11_host.c), WIDTH HEIGHT: its id in
# $host; host_command sends it a line ("resize W H", "destroy") and waits for it to be done.
start_host() {
    [ -x "$work/x11_host" ] || cc -O1 -o "$work/x11_host" "$here/x11_host.c" -lX11 ||
        fail "cannot build the host window program"
    [ -z "$host_pid" ] || kill "$host_pid" 2>/dev/null
    rm -f "$work/host.in" "$work/host.out"
    mkfifo "$work/host.in"
    "$work/x11_host" "$1" "$2" <>"$work/host.in" >"$work/host.out" 2>&1 &
    host_pid=$!
    wait_for "the host window" test -s "$work/host.out"
    host=$(head -n 1 "$work/host.out")
}
host_command() {
    local done_before
    done_before=$(grep -c '^done' "$work/host.out")
    echo "$*" >"$work/host.in"
    wait_for "the host to $1" eval '[ "$(grep -c "^done" "$work/host.out")" -gt '"$done_before"' ]'
}
# True when the host holds one child window of the given size, WxH.
host_child_is() {
    xwininfo -tree -id "$host" 2>/dev/null |
        awk '/^ +1 child:/ {c = 1; next} c {print $(NF - 1); exit}' | grep -q "^$1+0+0"
}

# The xscreensaver daemon as nobody, on this display, with a private home and a copy of the
# program; saver_command runs xscreensaver-command the same way. The daemon runs its hacks at nice
# 10 unless told otherwise: beside other busy processes the hack would get a tenth of their share
# of the processor (a frame every ten seconds and more under AddressSanitizer), and the test is
# whether it draws at all, so it runs at the tests' own priority.
start_xscreensaver() {
    copy_for_nobody
    cat >"$work/home/.xscreensaver" <<SETTINGS
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
nice: 0
programs: GL: $work/bin/zorvik --root \n
SETTINGS
    chown -R 65534:65534 "$work/home"
    as_nobody xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
    daemon_pid=$!
    at_exit 'kill "$daemon_pid" 2>/dev/null; pkill -u 65534 -f "$work/bin/zorvik"'
    wait_for "the xscreensaver daemon" eval 'saver_command -time >/dev/null 2>&1'
}
saver_command() { as_nobody xscreensaver-command "$@"; }
hack_running() { pgrep -u 65534 -f "$work/bin/zorvik" >/dev/null; }
hack_gone() { ! hack_running; }
