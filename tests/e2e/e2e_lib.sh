# Shared by the end-to-end scripts: a private Xvfb, a private Wine prefix, the program under test,
# its windows, keys, screenshots and exit. Sourced after setting case_name, program and use_wine
# ("wine" to run a Windows executable under Wine, empty for the native program).
#
# The Windows program's windows are looked at through Win32 itself (win_probe.exe, built here):
# Wine is told to manage its windows itself, because with no window manager on the display it
# otherwise waits about 2 s for each window it hides or destroys; it then draws the window frames
# inside the X windows, so an X window's geometry is not the client area.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d /tmp/zorvik-e2e.XXXXXX)
xvfb_pid=""
program_pid=""
exit_limit_ms=${ZORVIK_E2E_EXIT_LIMIT_MS:-3000}
title="zorvik - tavrin 2005"

fail() {
    echo "FAIL ($case_name${use_wine:+, wine}): $*" >&2
    # Whether the program was still running tells a slow window system from a program that died.
    # Only the script's own shell can wait for it, not a command substitution.
    if [ "$BASHPID" = "$$" ] && [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
        wait "$program_pid" 2>/dev/null
        echo "  the program had ended, exit code $?" >&2
        program_pid=""
    fi
    [ -s "$work/stderr" ] && sed 's/^/  program stderr: /' "$work/stderr" | head -40 >&2
    # A program that loses its display ends without a word (exit code 1 under Wine).
    if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "  the X server ${DISPLAY:-} had ended" >&2
        sed 's/^/  xvfb: /' "$work/xvfb.log" | tail -20 >&2
    fi
    exit 1
}

cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$use_wine" ] && WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ -n "${ZORVIK_E2E_KEEP:-}" ]; then
        echo "kept $work"
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# The X screen's size, WIDTHxHEIGHT; empty when no server answers.
screen_size() { xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}'; }

# Starts Xvfb with a screen of the given size (and depth, 24 unless given). Xvfb picks a free
# display number itself and reports it once it listens. A number chosen here from the lock files
# is not safe: a server in another mount namespace (a chroot or container on this machine) leaves
# no lock file in this /tmp but holds the number's abstract socket, which clients try first; the
# program would run on that server's display and die when it went away.
start_xvfb() {
    local size=$1 depth=${2:-24} i n
    # No key repeat: a key is held across frames here, and repeats would press it again.
    Xvfb -displayfd 3 -screen 0 "${size}x$depth" -nolisten tcp -ardelay 600000 \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for i in $(seq 1 200); do
        n=$(head -n 1 "$work/display")
        if [ -n "$n" ]; then
            export DISPLAY=":$n"
            # The screen must be the one asked for: a server of another mount namespace (a
            # chroot, a container) can answer on the same display number.
            [ "$(screen_size)" = "$size" ] && return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    fail "cannot start Xvfb"
}

# A private prefix per case, kept in the current directory so that only the first run pays for
# booting it. It is booted inside the Xvfb it will run under: a prefix first booted without a
# display refuses every display-mode switch afterwards.
prepare_wine() {
    # Wine's own errors only, so that a failure shows why Wine gave up (for example no display);
    # ZORVIK_E2E_WINEDEBUG asks for more.
    export WINEDEBUG=${ZORVIK_E2E_WINEDEBUG:--all,err+all} WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX="$PWD/e2e-wineprefix-$case_name"
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wineboot -u >/dev/null 2>&1 || fail "wineboot failed"
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
            fail "cannot set Wine's X11 driver to manage its own windows"
        wineserver -w
    fi
    wineserver -p
    x86_64-w64-mingw32-gcc -O1 -o "$work/win_probe.exe" "$here/win_probe.c" ||
        fail "cannot build the Win32 probe"
}

# Runs the Win32 probe (see win_probe.c) in the program's prefix.
probe() { wine "$work/win_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# A program built with AddressSanitizer checks for leaks when it ends and fails if it finds any;
# lsan.supp lists the system libraries' own. The OpenGL driver is unloaded before LeakSanitizer
# looks, so what it leaked would come from an unknown module that no suppression can name: loaded
# from the start, it stays to the end and its leaks carry its name. (AddressSanitizer must come
# first.)
sanitizer_env=()
if [ -z "$use_wine" ]; then
    asan_library=$(ldd "$program" 2>/dev/null | awk '/libasan/ {print $3}')
    if [ -n "$asan_library" ]; then
        sanitizer_env=("LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0")
        dri_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -1)
        [ -z "$dri_driver" ] || sanitizer_env+=("LD_PRELOAD=$asan_library $dri_driver")
    fi
fi

# Starts the program with the given extra environment (NAME=VALUE ...).
start_program() {
    if [ -n "$use_wine" ]; then
        env "$@" wine "$program" >"$work/stdout" 2>"$work/stderr" &
    else
        # A background job of a script starts with SIGINT ignored, and the program rightly keeps
        # a signal its parent chose to ignore; give it the default, as a terminal would.
        env --default-signal=INT "${sanitizer_env[@]}" "$@" "$program" \
            >"$work/stdout" 2>"$work/stderr" &
    fi
    program_pid=$!
}

# The process that runs the program's code: under Wine, a process of its own named after the
# executable; natively the one started.
program_process() {
    if [ -n "$use_wine" ]; then
        pgrep -n -x "$(basename "$program" | cut -c1-15)"
    else
        echo "$program_pid"
    fi
}

# The id of the first viewable X window with this exact name, waiting up to $2 seconds.
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
        id=$(wait_window "$title" 1) && [ "$id" != "$old" ] && {
            echo "$id"
            return 0
        }
        sleep 0.1
    done
    return 1
}

count_windows() { xwininfo -root -tree 2>/dev/null | grep -cF "\"$1\":"; }

# "x y width height" of the program's client area on the screen: natively the X window itself;
# under Wine, as Win32 reports it.
client_geometry() {
    if [ -n "$use_wine" ]; then
        probe geometry | awk '{print $5, $6, $7, $8}'
    else
        xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
            /^  Width/ {w=$NF} /^  Height/ {h=$NF} END {print x, y, w, h}'
    fi
}

# Gives a window the keyboard: the pointer is moved over it and it takes the focus.
focus_window() {
    xdotool mousemove --window "$1" 20 40 2>/dev/null
    xdotool windowfocus "$1" 2>/dev/null
    sleep 0.3
}

# Holds a key down over a window. The key stays down until release_key, so that at least one
# frame sees it however slowly the frames come.
hold_key() {
    focus_window "$1"
    xdotool keydown "$2"
}
release_key() { xdotool keyup "$1" 2>/dev/null; }

# Presses and at once releases a key over a window, as a quick tap does: both arrive while one
# frame renders.
tap_key() {
    focus_window "$1"
    xdotool key "$2"
}

# Holds F1 until the window has been recreated; prints the new window's id.
toggle() {
    local id=$1 new
    hold_key "$id" F1
    new=$(wait_new_window "$id")
    release_key F1
    [ -n "$new" ] && echo "$new"
}

# True when a viewable "Error" box other than $1 is on the screen.
other_box_shown() {
    local other
    for other in $(xwininfo -root -tree 2>/dev/null | grep -F '"Error":' | awk '{print $1}'); do
        [ "$other" != "$1" ] && xwininfo -id "$other" 2>/dev/null | grep -q IsViewable && return 0
    done
    return 1
}

# Presses Return on an Error box until it goes away: a box that has only just appeared may not
# have the keyboard focus yet, and then the first press goes elsewhere. No second press once the
# program shows its next box, which that press would dismiss unseen.
dismiss_box() {
    local id=$1 attempt i
    for attempt in 1 2 3; do
        hold_key "$id" Return
        release_key Return
        for i in $(seq 1 30); do
            # This box, not any: the program may show the next one at once.
            xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || return 0
            other_box_shown "$id" && return 0
            sleep 0.1
        done
    done
    fail "the Error box did not go away"
}

cpu_ticks() {
    local pid
    pid=$(program_process)
    [ -n "$pid" ] || fail "cannot find the program's process"
    awk '{print $14 + $15}' "/proc/$pid/stat"
}

# Waits until the program renders frames (is using the processor), up to 30 s.
wait_frames() {
    local i before after
    for i in $(seq 1 60); do
        before=$(cpu_ticks)
        sleep 0.5
        after=$(cpu_ticks)
        [ $((after - before)) -ge 5 ] && return 0
    done
    fail "the program does not seem to render"
}

# Waits up to 5 s past the limit for the program to end after the request made at $1 (ms), then
# checks that it ended with exit code 0 within the limit (3 s) of that request.
expect_exit_zero_within_3s() {
    local start=$1 elapsed code
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

# Waits up to $1 seconds for the program to end by itself and puts its exit code in exit_code;
# false if it is still running. Not to be called in a subshell, which could not wait for it.
wait_exit() {
    local timeout_ms=$(($1 * 1000)) start
    start=$(now_ms)
    while [ $(($(now_ms) - start)) -lt "$timeout_ms" ]; do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$program_pid" 2>/dev/null && return 1
    wait "$program_pid"
    exit_code=$?
    program_pid=""
}

# Keeps a copy of a screenshot where ZORVIK_E2E_SHOTS asks for one.
keep_shot() {
    [ -n "${ZORVIK_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$ZORVIK_E2E_SHOTS"
    cp "$1" "$ZORVIK_E2E_SHOTS/${use_wine:+wine-}${case_name}-$(basename "$1")"
}
