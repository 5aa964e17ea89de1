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
#     noopengl    no usable OpenGL driver, and
#     badformat   an 8-bit screen with no visual for the pixel format: the "Error Creating OpenGL
#                 Window" box, and once it is dismissed a non-zero exit code, no crash.
#     signals     SIGINT and SIGTERM end the program with exit code 0 within 3 s (Linux only).
#     toggles     50 F1 toggles (20 under Wine; ZORVIK_E2E_TOGGLES changes it): no growth in
#                 threads, open files or windows; exit code 0 and, with AddressSanitizer, no leak.
#   The 3 s allowed for ending may be changed with ZORVIK_E2E_EXIT_LIMIT_MS, for software
#   renderers on loaded machines whose frames alone take seconds (Esc is seen by the next frame).
#   "wine" runs PROGRAM (a Windows executable) under Wine with a private prefix, booted once
#   inside an Xvfb and kept in the current directory for the next run.
set -uo pipefail

case_name=$1
program=$2
use_wine=${3:-}
source "$(dirname "$0")/e2e_lib.sh"

# The close button's request, as a window manager sends it; under Wine, which then manages its
# own windows, the system command the close box of its own frame sends.
request_close() {
    if [ -n "$use_wine" ]; then
        probe close
    else
        "$work/x11_close" "$1"
    fi
}
[ -n "$use_wine" ] ||
    cc -O1 -o "$work/x11_close" "$here/x11_close.c" -lX11 || fail "cannot build the close helper"

# A framed window: under Wine its window rectangle holds more than its client area. Natively,
# with no window manager to draw a frame, the two kinds differ only in that the full-screen
# pop-up asks to be kept above the others (the topmost style).
is_framed() {
    if [ -n "$use_wine" ]; then
        read -r l t r b cx cy cw ch <<<"$(probe geometry)"
        [ $((r - l)) -gt "$cw" ] && [ $((b - t)) -gt "$ch" ]
    else
        ! xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE
    fi
}

case "$case_name" in
fullscreen)
    start_xvfb 1280x720
    [ -n "$use_wine" ] && prepare_wine
    start_program
    id=$(wait_window "$title" 20) || fail "no window appeared"
    [ "$(count_windows Error)" = 0 ] || fail "an Error box appeared on a 1280x720 screen"
    geometry=$(client_geometry "$id")
    [ "$geometry" = "0 0 1280 720" ] || fail "full-screen window is $geometry"
    ! is_framed "$id" || fail "the full-screen window has a frame"
    echo "full screen: $geometry"
    framed=$(toggle "$id") || fail "F1 did not recreate the window"
    geometry=$(client_geometry "$framed")
    echo "after F1: client area $geometry${use_wine:+, window $(probe geometry | cut -d' ' -f1-4)}"
    is_framed "$framed" || fail "F1 gave another full-screen window"
    again=$(toggle "$framed") || fail "the second F1 did not recreate the window"
    geometry=$(client_geometry "$again")
    [ "$geometry" = "0 0 1280 720" ] || fail "second F1 gave $geometry"
    ! is_framed "$again" || fail "the second F1 gave a framed window"
    echo "after second F1: $geometry"
    # Esc is taken at the next frame, and the frame under way when it came still completes. The
    # first ten or so frames look at the traffic from close up and take up to 1.2 s each in
    # software (a tenth of that by frame 30), so Esc right after the window appears could wait
    # for two such frames; the program must end within the limit of a running animation, so let
    # it run into its lighter frames first.
    wait_frames
    sleep 6
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
    [ "$(count_windows "$title")" = 0 ] || fail "the window came before the box"
    if [ -n "$use_wine" ]; then
        text=$(probe box | tr '\n' ' ')
        [ "$text" = "Mode Switch Failed. Running In Windowed Mode. " ] ||
            fail "the box says \"$text\""
    else
        grep -qF "Mode Switch Failed." "$work/stderr" && grep -qF "Running In Windowed Mode." \
            "$work/stderr" || fail "the box's text is not on stderr"
    fi
    dismiss_box "$box"
    id=$(wait_window "$title" 10) || fail "no window after the box"
    echo "refused, framed: $(client_geometry "$id")"
    framed=$(toggle "$id") || fail "F1 did not recreate the window"
    read -r x y w h <<<"$(client_geometry "$framed")"
    echo "after F1: client area $x $y $w $h"
    [ "$w $h" = "1280 720" ] || fail "framed client area is ${w}x$h, expected 1280x720"
    is_framed "$framed" || fail "F1 gave a window without a frame"
    hold_key "$framed" F1
    box=$(wait_window Error 30) || fail "the second F1 did not try full screen again"
    release_key F1
    [ "$(count_windows Error)" = 1 ] || fail "$(count_windows Error) Error boxes, expected one"
    dismiss_box "$box"
    id=$(wait_new_window "$framed") || fail "no window after the second box"
    sleep 0.5
    start=$(now_ms)
    request_close "$id" || fail "cannot send the close request"
    expect_exit_zero_within_3s "$start"
    ;;

minimised)
    start_xvfb 1280x720
    [ -n "$use_wine" ] && prepare_wine
    start_program
    id=$(wait_window "$title" 20) || fail "no window appeared"
    wait_frames
    if [ -n "$use_wine" ]; then
        # Without a window manager Wine minimises only on the window's own system command.
        probe minimise || fail "cannot minimise the window"
    else
        # What a window manager does when it iconifies a window.
        xprop -id "$id" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN
    fi
    sleep 1
    [ -n "$use_wine" ] || xprop -id "$id" _NET_WM_STATE | grep -q HIDDEN ||
        fail "the window's state was changed back: $(xprop -id "$id" _NET_WM_STATE)"
    # The frame under way when the window was minimised still completes; wait it out.
    for i in $(seq 1 20); do
        before=$(cpu_ticks)
        sleep 0.5
        [ $(($(cpu_ticks) - before)) -le 1 ] && break
    done
    before=$(cpu_ticks)
    sleep 2
    after=$(cpu_ticks)
    used=$((after - before))
    echo "processor time while minimised: $((used * 10)) ms in 2000 ms"
    [ "$used" -le 10 ] || fail "used $((used * 10)) ms of processor time in 2 s while minimised"
    if [ -n "$use_wine" ]; then
        probe restore || fail "cannot restore the window"
        id=$(wait_window "$title" 10) || fail "the window did not come back"
        wait_frames
    fi
    start=$(now_ms)
    request_close "$id" || fail "cannot send the close request"
    expect_exit_zero_within_3s "$start"
    ;;

noopengl | badformat)
    # No OpenGL driver: Mesa cannot load its renderer, falls back to indirect rendering and the X
    # server refuses it. An unusable pixel format: an 8-bit screen has no visual for a 32-bit
    # RGBA format (nor a 32-bit display mode, so the mode switch is refused first).
    if [ "$case_name" = noopengl ]; then
        start_xvfb 1280x720
        failure=(LIBGL_DRIVERS_PATH=/nonexistent/zorvik-e2e)
    else
        start_xvfb 1280x720 8
        failure=()
    fi
    [ -n "$use_wine" ] && prepare_wine
    start_program "${failure[@]}"
    # Every box is dismissed until the program ends. Natively the boxes' texts are read from
    # stderr, where the program writes each box's text before showing it, so that a box that
    # follows the previous one too fast to be seen is counted all the same.
    texts=()
    started=$(now_ms)
    while kill -0 "$program_pid" 2>/dev/null; do
        [ $(($(now_ms) - started)) -lt 60000 ] || fail "still running after 60 s"
        box=$(wait_window Error 1) || continue
        [ "$(count_windows Error)" = 1 ] || fail "$(count_windows Error) Error boxes at once"
        [ -z "$use_wine" ] || texts+=("$(probe box | tr '\n' ' ' | sed 's/ *$//')")
        dismiss_box "$box"
    done
    wait_exit 5 || fail "still running after the boxes"
    code=$exit_code
    [ -n "$use_wine" ] || mapfile -t texts < <(sed -n 's/^zorvik: Error: //p' "$work/stderr")
    boxes=${#texts[@]}
    [ "$boxes" -le 2 ] || fail "more than two Error boxes"
    for i in "${!texts[@]}"; do echo "box $((i + 1)): ${texts[$i]}"; done
    last_text=${texts[$((boxes - 1))]:-}
    [ "$code" -lt 128 ] || fail "ended by signal $((code - 128))"
    [ "$boxes" -ge 1 ] || fail "ended with exit code $code without a box"
    [ "$last_text" = "Error Creating OpenGL Window" ] ||
        fail "the last box said \"$last_text\" (exit code $code)"
    [ "$code" -ne 0 ] || fail "exit code 0 after failing to create its window"
    [ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains"
    if [ -z "$use_wine" ]; then
        grep -qE "^zorvik: cannot create (a window|an OpenGL context)" "$work/stderr" ||
            fail "stderr does not say what failed"
        echo "stderr: $(grep -m1 -E "^zorvik: cannot create" "$work/stderr")"
    fi
    echo "exit code $code after $boxes box(es)"
    ;;

signals)
    # SIGINT and SIGTERM end the program through its normal road: the window closes, the display
    # mode is put back and the exit code is 0, in full screen and while minimised (blocked in
    # the message wait). Xvfb has one mode only, so the switch to 1280x720 changes nothing that
    # could be seen; the screen's size is checked all the same.
    [ -z "$use_wine" ] || fail "signals are for the native program"
    start_xvfb 1280x720
    for round in INT TERM TERM-minimised; do
        start_program
        id=$(wait_window "$title" 20) || fail "no window appeared"
        wait_frames
        if [ "$round" = TERM-minimised ]; then
            xprop -id "$id" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN
            sleep 1
            for i in $(seq 1 20); do
                before=$(cpu_ticks)
                sleep 0.5
                [ $(($(cpu_ticks) - before)) -le 1 ] && break
            done
        fi
        echo -n "SIG$round: "
        kill -s "${round%-*}" "$program_pid"
        expect_exit_zero_within_3s "$(now_ms)"
        [ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains"
        size=$(screen_size)
        [ "$size" = 1280x720 ] || fail "the screen was left at $size"
        ! grep -q "Error" "$work/stderr" || fail "an error was reported"
    done
    ;;

toggles)
    # F1 many times over: every toggle destroys the window with its context and makes new ones.
    # Afterwards the process holds no more threads (the software renderer runs some per context),
    # file descriptors or X windows than after the first round trip, which is when everything a
    # window of each kind needs once has been made; it ends with exit code 0, and, built with
    # AddressSanitizer, LeakSanitizer finds nothing lost outside the system's own libraries.
    toggles=${ZORVIK_E2E_TOGGLES:-$([ -n "$use_wine" ] && echo 20 || echo 50)}
    start_xvfb 1280x720
    [ -n "$use_wine" ] && prepare_wine
    start_program
    id=$(wait_window "$title" 20) || fail "no window appeared"
    wait_frames
    # Threads, open files, X windows on the display, and windows of the program's class.
    census() {
        local pid
        pid=$(program_process)
        echo "$(awk '/^Threads:/ {print $2}' "/proc/$pid/status")" \
            "$(find "/proc/$pid/fd" -mindepth 1 2>/dev/null | wc -l)" \
            "$(xwininfo -root -tree | grep -c '^ *0x')" \
            "$([ -n "$use_wine" ] && probe count || count_windows "$title")"
    }
    started=$(now_ms)
    for i in $(seq 1 "$toggles"); do
        id=$(toggle "$id") || fail "toggle $i did not recreate the window"
        if [ "$i" = 2 ]; then
            wait_frames
            read -r threads fds xwindows windows <<<"$(census)"
            echo "after 2 toggles: $threads threads, $fds files, $xwindows X windows, $windows window"
        fi
    done
    wait_frames
    read -r threads2 fds2 xwindows2 windows2 <<<"$(census)"
    echo "after $toggles toggles ($(($(now_ms) - started)) ms): $threads2 threads, $fds2 files," \
        "$xwindows2 X windows, $windows2 window"
    [ "$windows2" = 1 ] || fail "$windows2 windows of the program, expected 1"
    [ "$threads2" -le "$threads" ] || fail "threads grew from $threads to $threads2"
    [ "$fds2" -le "$fds" ] || fail "open files grew from $fds to $fds2"
    [ "$xwindows2" -le "$xwindows" ] || fail "X windows grew from $xwindows to $xwindows2"
    hold_key "$id" Escape
    # Ending in time is checked by the other cases; here the leak check at exit may take its time.
    wait_exit 60 || fail "still running 60 s after Esc"
    code=$exit_code
    release_key Escape
    [ "$code" = 0 ] || fail "exit code $code after the toggles"
    ! grep -q "LeakSanitizer" "$work/stderr" || fail "LeakSanitizer reported a leak"
    echo "ended with exit code 0"
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
