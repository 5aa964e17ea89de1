#!/usr/bin/env bash
# Runs the real program on a private Xvfb and checks the shell's behaviour from the outside.
#
# Usage: shell_e2e.sh CASE PROGRAM [wine]
#   CASE is one of:
#     fullscreen  1280x720 screen: starts as a 1280x720 full-screen window at (0,0); F1 gives a
#                 framed window; F1 again full screen; Esc ends it with exit code 0 within 3 s.
#     refused     1600x900 screen, which has no 1280x720 mode: exactly one "Error" box; once it is
#                 dismissed a framed window; F1 gives a framed window with a 1280x720 client area;
#                 F1 tries full screen again (the box once more); the close button ends it with
#                 exit code 0 within 3 s.
#     minimised   while minimised the program uses almost no processor time.
#     nodisplay   with no display the program says so on stderr and exits non-zero (Linux only).
#   The 3 s allowed for ending may be changed with ZORVIK_E2E_EXIT_LIMIT_MS, for software
#   renderers on loaded machines whose frames alone take seconds (Esc is seen by the next frame).
#   "wine" runs PROGRAM (a Windows executable) under Wine with a private prefix, booted once
#   inside an Xvfb and kept in the current directory for the next run.
set -uo pipefail

case_name=$1
program=$2
use_wine=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/zorvik-e2e.XXXXXX)
xvfb_pid=""
program_pid=""
exit_limit_ms=${ZORVIK_E2E_EXIT_LIMIT_MS:-3000}

fail() {
    echo "FAIL ($case_name${use_wine:+, wine}): $*" >&2
    [ -s "$work/stderr" ] && sed 's/^/  program stderr: /' "$work/stderr" >&2
    exit 1
}

cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$use_wine" ] && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts Xvfb with a screen of the given size on the first free display number.
start_xvfb() {
    local size=$1 n
    for n in $(seq 90 250); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        # No key repeat: a key is held across frames here, and repeats would press it again.
        Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -ardelay 600000 >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            xwininfo -root >/dev/null 2>&1 && return 0
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.05
        done
        kill "$xvfb_pid" 2>/dev/null
        xvfb_pid=""
    done
    fail "cannot start Xvfb"
}

# The prefix is booted inside the Xvfb it will run under: a prefix first booted without a display
# refuses every display-mode switch afterwards.
prepare_wine() {
    # Wine, finding no window manager, waits up to 2 s for one to withdraw each window it hides
    # or destroys; that wait is Wine's, not the program's.
    exit_limit_ms=$((exit_limit_ms + 2000))
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX="$PWD/e2e-wineprefix-$case_name"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -u >/dev/null 2>&1 || fail "wineboot failed"
        wineserver -w
    fi
    wineserver -p
}

start_program() {
    export LP_NUM_THREADS=1
    if [ -n "$use_wine" ]; then
        wine "$program" >"$work/stdout" 2>"$work/stderr" &
    else
        "$program" >"$work/stdout" 2>"$work/stderr" &
    fi
    program_pid=$!
}

# The id of the first mapped window with this exact name, waiting up to $2 seconds.
wait_window() {
    local name=$1 timeout_ms=$(($2 * 1000)) start id
    start=$(now_ms)
    while [ $(($(now_ms) - start)) -lt "$timeout_ms" ]; do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$name\":" | awk '{print $1}' | head -1)
        if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable"; then
            echo "$id"
            return 0
        fi
        kill -0 "$program_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Waits until the program's window is a different one from $1 (a recreated window).
wait_new_window() {
    local old=$1 start id
    start=$(now_ms)
    while [ $(($(now_ms) - start)) -lt 30000 ]; do
        id=$(wait_window "zorvik - tavrin 2005" 1) && [ "$id" != "$old" ] && {
            echo "$id"
            return 0
        }
        sleep 0.1
    done
    return 1
}

count_windows() { xwininfo -root -tree 2>/dev/null | grep -cF "\"$1\":"; }

# "x y width height" of a window (its X window: the client area under Wine and SDL alike).
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print x, y, w, h}'
}

# Holds a key down over a window: the pointer is moved over it and the key goes to the focus.
# The key stays down until release_key, so that at least one frame sees it however slowly the
# frames come.
hold_key() {
    local id=$1 key=$2
    xdotool mousemove --window "$id" 20 20 2>/dev/null
    xdotool windowfocus "$id" 2>/dev/null
    sleep 0.3
    xdotool keydown "$key"
}
release_key() { xdotool keyup "$1" 2>/dev/null; }

# Holds F1 until the window has been recreated; prints the new window's id.
toggle() {
    local id=$1 new
    hold_key "$id" F1
    new=$(wait_new_window "$id")
    release_key F1
    [ -n "$new" ] && echo "$new"
}

dismiss_box() {
    local id=$1
    hold_key "$id" Return
    release_key Return
    local i
    for i in $(seq 1 50); do
        [ "$(count_windows Error)" = 0 ] && return 0
        sleep 0.1
    done
    fail "the Error box did not go away"
}

# Waits up to 5 s for the program to end after the request made at $1 (ms), then checks that it
# ended with exit code 0 within 3 s of that request.
# Waits until the program renders frames (is using the processor), up to 30 s.
wait_frames() {
    local i before after
    for i in $(seq 1 60); do
        before=$(cpu_ticks "$program_pid")
        sleep 0.5
        after=$(cpu_ticks "$program_pid")
        [ $((after - before)) -ge 5 ] && return 0
    done
    fail "the program does not seem to render"
}

expect_exit_zero_within_3s() {
    local start=$1 i elapsed code
    while [ $(($(now_ms) - start)) -lt $((exit_limit_ms + 5000)) ]; do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.05
    done
    elapsed=$(($(now_ms) - start))
    kill -0 "$program_pid" 2>/dev/null && fail "still running $elapsed ms after the request"
    wait "$program_pid"
    code=$?
    program_pid=""
    [ "$code" = 0 ] || fail "exit code $code (after $elapsed ms), expected 0"
    [ "$elapsed" -le "$exit_limit_ms" ] ||
        fail "took $elapsed ms to end, expected at most $exit_limit_ms"
    echo "ended with exit code 0 after $elapsed ms"
}

cpu_ticks() {
    local pid=$1
    # Under Wine the program runs in a process of its own, named after the executable.
    [ -n "$use_wine" ] && pid=$(pgrep -n -x "$(basename "$program" | cut -c1-15)")
    [ -n "$pid" ] || fail "cannot find the program's process"
    awk '{print $14 + $15}' "/proc/$pid/stat"
}

# The close button's request, as a window manager sends it.
cc -O1 -o "$work/x11_close" "$here/x11_close.c" -lX11 || fail "cannot build the close helper"

case "$case_name" in
fullscreen)
    start_xvfb 1280x720
    [ -n "$use_wine" ] && prepare_wine
    start_program
    id=$(wait_window "zorvik - tavrin 2005" 20) || fail "no window appeared"
    [ "$(count_windows Error)" = 0 ] || fail "an Error box appeared on a 1280x720 screen"
    [ "$(geometry "$id")" = "0 0 1280 720" ] || fail "full-screen window is $(geometry "$id")"
    echo "full screen: $(geometry "$id")"
    import -window root "$work/fullscreen.png" 2>/dev/null && [ -n "${ZORVIK_E2E_SHOTS:-}" ] &&
        cp "$work/fullscreen.png" "$ZORVIK_E2E_SHOTS/${use_wine:+wine-}fullscreen.png"
    framed=$(toggle "$id") || fail "F1 did not recreate the window"
    read -r x y w h <<<"$(geometry "$framed")"
    echo "after F1: $x $y $w $h"
    [ "$x $y $w $h" != "0 0 1280 720" ] || [ -z "$use_wine" ] ||
        fail "F1 gave another full-screen window"
    again=$(toggle "$framed") || fail "the second F1 did not recreate the window"
    [ "$(geometry "$again")" = "0 0 1280 720" ] || fail "second F1 gave $(geometry "$again")"
    echo "after second F1: $(geometry "$again")"
    hold_key "$again" Escape
    start=$(now_ms)
    expect_exit_zero_within_3s "$start"
    release_key Escape
    ;;

refused)
    start_xvfb 1600x900
    [ -n "$use_wine" ] && prepare_wine
    start_program
    box=$(wait_window Error 20) || fail "no Error box appeared"
    sleep 0.5
    [ "$(count_windows Error)" = 1 ] || fail "$(count_windows Error) Error boxes, expected one"
    [ "$(count_windows "zorvik - tavrin 2005")" = 0 ] || fail "the window came before the box"
    if [ -z "$use_wine" ]; then
        grep -qF "Mode Switch Failed." "$work/stderr" && grep -qF "Running In Windowed Mode." \
            "$work/stderr" || fail "the box's text is not on stderr"
    fi
    dismiss_box "$box"
    id=$(wait_window "zorvik - tavrin 2005" 10) || fail "no window after the box"
    echo "refused, framed: $(geometry "$id")"
    framed=$(toggle "$id") || fail "F1 did not recreate the window"
    read -r x y w h <<<"$(geometry "$framed")"
    echo "after F1: $x $y $w $h"
    [ "$w $h" = "1280 720" ] || fail "framed client area is ${w}x$h, expected 1280x720"
    hold_key "$framed" F1
    box=$(wait_window Error 30) || fail "the second F1 did not try full screen again"
    release_key F1
    [ "$(count_windows Error)" = 1 ] || fail "$(count_windows Error) Error boxes, expected one"
    dismiss_box "$box"
    id=$(wait_new_window "$framed") || fail "no window after the second box"
    sleep 0.5
    start=$(now_ms)
    "$work/x11_close" "$id" || fail "cannot send the close request"
    expect_exit_zero_within_3s "$start"
    ;;

minimised)
    start_xvfb 1280x720
    [ -n "$use_wine" ] && prepare_wine
    start_program
    id=$(wait_window "zorvik - tavrin 2005" 20) || fail "no window appeared"
    wait_frames
    if [ -n "$use_wine" ]; then
        # Without a window manager Wine minimises only on the window's own system command.
        x86_64-w64-mingw32-gcc -O1 -o "$work/win_syscommand.exe" "$here/win_syscommand.c" ||
            fail "cannot build the system-command helper"
        wine "$work/win_syscommand.exe" minimise || fail "cannot minimise the window"
    else
        # What a window manager does when it iconifies a window.
        xprop -id "$id" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN
    fi
    sleep 1
    [ -n "$use_wine" ] || xprop -id "$id" _NET_WM_STATE | grep -q HIDDEN ||
        fail "the window's state was changed back: $(xprop -id "$id" _NET_WM_STATE)"
    # The frame under way when the window was minimised still completes; wait it out.
    for i in $(seq 1 20); do
        before=$(cpu_ticks "$program_pid")
        sleep 0.5
        [ $(($(cpu_ticks "$program_pid") - before)) -le 1 ] && break
    done
    before=$(cpu_ticks "$program_pid")
    sleep 2
    after=$(cpu_ticks "$program_pid")
    used=$((after - before))
    echo "processor time while minimised: $((used * 10)) ms in 2000 ms"
    [ "$used" -le 10 ] || fail "used $((used * 10)) ms of processor time in 2 s while minimised"
    if [ -n "$use_wine" ]; then
        wine "$work/win_syscommand.exe" restore || fail "cannot restore the window"
        id=$(wait_window "zorvik - tavrin 2005" 10) || fail "the window did not come back"
    fi
    start=$(now_ms)
    "$work/x11_close" "$id" || fail "cannot send the close request"
    expect_exit_zero_within_3s "$start"
    ;;

nodisplay)
    [ -z "$use_wine" ] || fail "the no-display case is for the native program"
    env -u DISPLAY -u WAYLAND_DISPLAY "$program" >"$work/stdout" 2>"$work/stderr"
    code=$?
    [ "$code" -ne 0 ] || fail "exit code 0 without a display"
    [ "$code" -lt 128 ] || fail "ended by signal $((code - 128))"
    grep -qi "display" "$work/stderr" || fail "stderr does not mention the display"
    echo "without a display: exit code $code, stderr: $(grep -m1 "^zorvik" "$work/stderr")"
    ;;

*)
    fail "unknown case"
    ;;
esac
exit 0
