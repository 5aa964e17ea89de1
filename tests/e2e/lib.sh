# The end-to-end library: the real program on a private Xvfb, natively or under Wine, looked at
# from the outside. run_case.sh sources it and then one case from cases/, which starts things,
# acts, waits for a condition and checks, with these (ID is an X window id, NAME a shot's name):
#
#   start_xvfb WxH [DEPTH]        a private X server (and, under Wine, the case's prefix)
#   start_display WxH             the same, or sway's headless output under wayland.sh
#   start_program [VAR=VALUE...] [ARG...]   the program in the background, natively or under Wine
#   wait_window TITLE [OLD]       the first viewable window of that title (not OLD) -> $found
#   wait_new_window OLD           the program's window once it is another than OLD -> $found
#   wait_for WHAT COMMAND...      polls COMMAND until it succeeds, else fails with "WHAT"
#   wait_frames, wait_idle        until the program uses the processor / has stopped using it
#   wait_drawing ID               until the window shows pictures that change
#   request_made, expect_exit CODE, wait_exit   the end: exit code, time since the request
#   wait_window_gone ID           until the window is out of sight, timed from the request
#   tap_key ID KEY, hold_key ID KEY, release_key KEY, click ID X Y, toggle ID (F1 -> $found)
#   request_close ID, minimise ID, restore, client_geometry ID, is_framed ID, count_windows TITLE
#   dismiss_box ID, box_texts     Error boxes: dismissed one at a time; their texts, one a line
#   shoot ID NAME, drawn NAME, pixels_changed A B     screenshots of a client area
#   expect_step_rate WHAT LOW HIGH   the steps per second that --stats reports
#   screen_size, cpu_ticks, note TEXT, bench WHAT VALUE, fail TEXT
#   at_exit COMMAND               COMMAND when the case ends, before the display is taken down
#
# With "wayland" (wayland.sh, sourced after this file) the program runs natively on a headless
# sway instead: the same names, their Wayland meaning; what only Wayland has is listed there.
#
# Every wait polls up to $deadline seconds (ZORVIK_E2E_DEADLINE, 60 by default), far beyond what
# a busy machine needs, so that only a hang reaches it. How long things took is printed on
# "benchmark:" lines and never checked. ZORVIK_E2E_SHOTS=DIR keeps the screenshots,
# ZORVIK_E2E_KEEP keeps the work folder, ZORVIK_E2E_WINEDEBUG sets Wine's debug channels.
#
# Under Wine the program's windows are looked at through Win32 itself (win_probe.exe, built
# here): Wine is told to manage its windows itself, because with no window manager on the display
# it otherwise waits about 2 s for each window it hides or destroys; it then draws the window
# frames inside the X windows, so an X window's geometry is not the client area.

work=$(mktemp -d /tmp/zorvik-e2e.XXXXXX)
deadline=${ZORVIK_E2E_DEADLINE:-60}
title="zorvik - tavrin 2005"
xvfb_pid="" program_pid="" request_ms="" exit_code="" found=""
wine_box_texts=()

note() { echo "$*"; }
bench() { echo "benchmark: $case_name${use_wine:+ (wine)}${use_wayland:+ (wayland)}: $1: $2"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

fail() {
    echo "FAIL ($case_name${use_wine:+, wine}${use_wayland:+, wayland}): $*" >&2
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
    if [ -n "${sway_pid:-}" ] && ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "  sway had ended" >&2
        sed 's/^/  sway: /' "$work/sway.log" | tail -20 >&2
    fi
    exit 1
}

# The one EXIT trap: what was asked for with at_exit (the latest first), then the program, its
# helpers and the display.
exit_commands=()
at_exit() { exit_commands+=("$1"); }
cleanup() {
    local i
    for ((i = ${#exit_commands[@]} - 1; i >= 0; i--)); do eval "${exit_commands[$i]}"; done
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$use_wine" ] && [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    [ -n "${host_pid:-}" ] && kill "$host_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "${sway_pid:-}" ] && kill "$sway_pid" 2>/dev/null
    if [ -n "${ZORVIK_E2E_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

running() { [ -n "$program_pid" ] && kill -0 "$program_pid" 2>/dev/null; }

wait_for() {
    local what=$1 start
    shift
    start=$(now_ms)
    until "$@"; do
        # Conditions are about a running program: once it has ended, one last look decides.
        if [ -n "$program_pid" ] && ! running; then
            "$@" && return 0
            fail "the program ended while waiting for $what"
        fi
        [ $(($(now_ms) - start)) -lt $((deadline * 1000)) ] || fail "no $what in $deadline s"
        sleep 0.1
    done
}

# --- The X server ------------------------------------------------------------------------------

# The X screen's size, WIDTHxHEIGHT; empty when no server answers.
screen_size() { xdpyinfo 2>/dev/null | awk '/dimensions:/ {print $2}'; }

# Xvfb picks a free display number itself (-displayfd), by binding its sockets: a number chosen
# here from the lock files is not safe, as a server in another mount namespace (a chroot, a
# container, another private /tmp) leaves no lock file here but holds the number's abstract
# socket, which clients try first. -noreset: by default an X server resets when its last client
# leaves, and closes every connection it has accepted meanwhile, so a client that connects just
# as another leaves (the program starting right after xdpyinfo, the next round after the last)
# finds no display; a busy machine, which slows the server, widens that window. No key repeat: a
# key is held across frames here, and repeats would press it again.
start_xvfb() {
    local size=$1 depth=${2:-24}
    Xvfb -displayfd 3 -screen 0 "${size}x$depth" -nolisten tcp -noreset -ardelay 600000 \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for "X server with a ${size} screen" xvfb_answers "$size"
    [ -z "$use_wine" ] || prepare_wine
}
# Two monitors side by side, each WxH, as Xorg's dummy driver gives them (Xvfb has one screen
# of one mode): DUMMY0, the primary one, at (0,0), DUMMY1 right of it. GLX works there as under
# Xvfb. The server is $xvfb_pid all the same, so that the rest of the library treats it alike.
start_two_monitors() {
    local size=$1 w h
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
    xrandr --addmode DUMMY1 "$size" 2>/dev/null
    xrandr --output DUMMY0 --mode "$size" --pos 0x0 --primary \
        --output DUMMY1 --mode "$size" --pos "${w}x0" || fail "xrandr cannot place two monitors"
    # A full query makes the server probe its outputs again: until then a client that asks only
    # for the current state (SDL does) still finds the first monitor alone.
    xrandr >/dev/null
    wait_for "a screen of two monitors" eval '[ "$(screen_size)" = "$((2 * w))x$h" ]'
    [ -z "$use_wine" ] || prepare_wine
}

# The display the case runs on: Xvfb here, sway under wayland.sh.
start_display() { start_xvfb "$@"; }

xvfb_answers() {
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(tail -5 "$work/xvfb.log")"
    local n
    n=$(head -n 1 "$work/display")
    [ -n "$n" ] && export DISPLAY=":$n" && [ "$(screen_size)" = "$1" ]
}

# A private prefix per case, kept in the current directory so that only the first run pays for
# booting it. It is booted inside the Xvfb it will run under: a prefix first booted without a
# display refuses every display-mode switch afterwards.
prepare_wine() {
    # Wine's own errors only, so that a failure shows why Wine gave up (for example no display).
    export WINEDEBUG=${ZORVIK_E2E_WINEDEBUG:--all,err+all} WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEPREFIX="$PWD/e2e-wineprefix-$case_name"
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wineboot -u >/dev/null 2>&1 || fail "wineboot failed"
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
            fail "cannot set Wine's X11 driver to manage its own windows"
        wineserver -w
    fi
    wineserver -p
    x86_64-w64-mingw32-gcc -O1 -I"$here/../.." -o "$work/win_probe.exe" "$here/win_probe.c" ||
        fail "cannot build the Win32 probe"
}

# Runs the Win32 probe (see win_probe.c) in the program's prefix.
probe() { wine "$work/win_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# --- The program -------------------------------------------------------------------------------

# A program built with AddressSanitizer checks for leaks when it ends and fails if it finds any;
# lsan.supp lists the system libraries' own. The OpenGL driver is unloaded before LeakSanitizer
# looks, so what it leaked would come from an unknown module that no suppression can name: loaded
# from the start, it stays to the end and its leaks carry its name (AddressSanitizer comes first).
sanitizer_env=()
if [ -z "$use_wine" ] && asan_library=$(ldd "$program" 2>/dev/null | awk '/libasan/ {print $3}') &&
    [ -n "$asan_library" ]; then
    sanitizer_env=("LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0")
    dri_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -1)
    [ -z "$dri_driver" ] || sanitizer_env+=("LD_PRELOAD=$asan_library $dri_driver")
fi

# Natively the program runs as it is; wayland.sh runs a copy as nobody (run_as), on its display.
run_as=() run_env=()
start_program() {
    local vars=()
    while [ $# -gt 0 ] && [[ $1 =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do
        vars+=("$1")
        shift
    done
    if [ -n "$use_wine" ]; then
        env "${vars[@]}" wine "$program" "$@" >"$work/stdout" 2>"$work/stderr" &
    else
        # A background job of a script starts with SIGINT ignored, and the program rightly keeps
        # a signal its parent chose to ignore; give it the default, as a terminal would.
        "${run_as[@]}" env --default-signal=INT "${sanitizer_env[@]}" "${run_env[@]}" "${vars[@]}" \
            "${run_program:-$program}" "$@" >"$work/stdout" 2>"$work/stderr" &
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

# The program's processor time so far, in clock ticks (1/100 s).
cpu_ticks() {
    local pid
    pid=$(program_process)
    [ -n "$pid" ] && awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null
}
# Processor ticks the program uses in the next $1 seconds.
ticks_in() {
    local before after
    before=$(cpu_ticks) || fail "cannot find the program's process"
    sleep "$1"
    after=$(cpu_ticks) || fail "cannot find the program's process"
    echo $((after - before))
}
rendering() { [ "$(ticks_in 0.5)" -ge 5 ]; }
resting() { [ "$(ticks_in 0.5)" -le 1 ]; }
wait_frames() { wait_for "rendering (processor use)" rendering; }
# The frame under way when the program was told to rest still completes; this waits it out.
wait_idle() { wait_for "rest (the processor still in use)" resting; }

# Marks when a request to end was made; expect_exit reports the time from there.
request_made() { request_ms=$(now_ms); }

# Waits for the program to end, up to the deadline; its exit code in $exit_code. Not to be called
# in a subshell, which could not wait for it.
wait_exit() {
    local start=${request_ms:-$(now_ms)}
    while running; do
        [ $(($(now_ms) - start)) -lt $((deadline * 1000)) ] ||
            fail "still running $deadline s after the request"
        sleep 0.05
    done
    wait "$program_pid"
    exit_code=$?
    program_pid=""
    bench "ended after the request (ms)" $(($(now_ms) - start))
    request_ms=""
}
# Polls until the window ID is out of sight, and prints the time since the request: how long the
# user waits for the desktop to come back, whatever the teardown after that takes.
not_viewable() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
wait_window_gone() {
    wait_for "window $1 to go out of sight" not_viewable "$1"
    bench "out of sight after the request (ms)" $(($(now_ms) - request_ms))
}
expect_exit() {
    wait_exit
    [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"
}

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
wait_window() { wait_for "viewable window \"$1\"${2:+ other than $2}" find_window "$@"; }
wait_new_window() { wait_window "$title" "$1"; }

# Windows of this title; with "viewable", only those on the screen.
count_windows() {
    local id n=0
    for id in $(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}'); do
        [ -z "${2:-}" ] || xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || continue
        n=$((n + 1))
    done
    echo "$n"
}

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

# A framed window: under Wine its window rectangle holds more than its client area. Natively,
# with no window manager to draw a frame, the two kinds differ only in that the full-screen
# pop-up asks to be kept above the others (the topmost style).
is_framed() {
    if [ -n "$use_wine" ]; then
        local l t r b cx cy cw ch
        read -r l t r b cx cy cw ch <<<"$(probe geometry)"
        [ $((r - l)) -gt "$cw" ] && [ $((b - t)) -gt "$ch" ]
    else
        ! xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE
    fi
}

# The close button's request, as a window manager sends it; under Wine, which then manages its
# own windows, the system command the close box of its own frame sends.
request_close() {
    if [ -n "$use_wine" ]; then
        probe close
    else
        [ -x "$work/x11_close" ] || cc -O1 -o "$work/x11_close" "$here/x11_close.c" -lX11 ||
            fail "cannot build the close helper"
        "$work/x11_close" "$1"
    fi
}

# What a window manager does when it iconifies a window; without a window manager Wine minimises
# only on the window's own system command.
minimise() {
    if [ -n "$use_wine" ]; then
        probe minimise
    else
        xprop -id "$1" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN
    fi
}
restore() { probe restore; }
# Sizes the client area of window ID to WxH.
resize_window() {
    if [ -n "$use_wine" ]; then
        probe size "$2"
    else
        xdotool windowsize "$1" "${2%x*}" "${2#*x}"
    fi
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

# Holds F1 until the window has been recreated; the new window's id in $found.
toggle() {
    hold_key "$1" F1
    wait_new_window "$1"
    release_key F1
}

# --- Error boxes -------------------------------------------------------------------------------

# Presses Return on an Error box until it goes away, each time once the box has the keyboard
# focus; a box that has only just appeared may miss the first press. No press once the program
# shows its next box, which it would dismiss unseen. Under Wine the box's text is kept for
# box_texts; natively the program writes each one to stderr.
dismiss_box() {
    local id=$1 n start pressed
    n=$(count_windows Error viewable)
    [ "$n" -le 1 ] || fail "$n Error boxes at once"
    [ -z "$use_wine" ] || wine_box_texts+=("$(probe box | tr '\n' ' ' | sed 's/ *$//')")
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

# The texts of the Error boxes shown so far, one a line, their lines joined by spaces.
box_texts() {
    if [ -n "$use_wine" ]; then
        [ ${#wine_box_texts[@]} -eq 0 ] || printf '%s\n' "${wine_box_texts[@]}"
    else
        awk '/^zorvik: Error: / {if (t != "") print t; t = substr($0, 16); next}
             /^zorvik: / {if (t != "") print t; t = ""; next}
             t != "" {t = t " " $0} END {if (t != "") print t}' "$work/stderr"
    fi
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
keep_shot() {
    if [ -n "${ZORVIK_E2E_SHOTS:-}" ]; then
        mkdir -p "$ZORVIK_E2E_SHOTS"
        cp "$work/$1.png" "$ZORVIK_E2E_SHOTS/${use_wine:+wine-}${use_wayland:+wayland-}$case_name-$1.png"
    fi
}

# True when a shot has a pixel other than black, the colour the program clears to.
drawn() { [ "$(convert "$work/$1.png" -colorspace gray -format '%[max]' info:)" != 0 ]; }

# How many pixels differ at all between two shots of the same size. Xvfb draws the same frame to
# the same pixels, so a picture that is not redrawn differently changes nowhere.
pixels_changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }

# Waits until two shots in a row of the window both show something drawn and differ: frames
# reach the window, and the picture moves. Nothing but the program draws there, and a window
# that shows nothing, or a picture that stands still, never passes. The city can stay black for
# many frames while its lights wander off, and frames come slowly on a busy machine: twice the
# usual deadline.
wait_drawing() {
    local deadline=$((deadline * 2)) window=$1
    shoot "$window" drawing-a
    wait_for "drawing that changes in window $window" picture_moves "$window"
    note "frames drawn: $(pixels_changed drawing-a drawing-b) pixels changed between two shots"
}
picture_moves() {
    shoot "$1" drawing-b
    drawn drawing-a && drawn drawing-b && [ "$(pixels_changed drawing-a drawing-b)" != 0 ] &&
        return 0
    mv "$work/drawing-b.png" "$work/drawing-a.png"
    return 1
}

# --- Failing to start --------------------------------------------------------------------------

# Dismisses every Error box until the program ends; its exit code in $exit_code. Natively the
# boxes' texts come from stderr, so that a box that follows another too fast to be seen counts.
dismiss_boxes_until_exit() {
    request_made
    while running; do
        [ $(($(now_ms) - request_ms)) -lt $((deadline * 1000)) ] ||
            fail "still running after $deadline s of Error boxes"
        if find_window Error; then dismiss_box "$found"; else sleep 0.1; fi
    done
    wait_exit
}

# After failing to make its window: "Error Creating OpenGL Window" last, after at most one other
# box (the refused mode switch); a non-zero exit code, no crash, no window left, and natively
# stderr says what failed.
expect_creation_failure() {
    local texts boxes i
    mapfile -t texts < <(box_texts)
    boxes=${#texts[@]}
    for i in "${!texts[@]}"; do note "box $((i + 1)): ${texts[$i]}"; done
    [ "$exit_code" -lt 128 ] || fail "ended by signal $((exit_code - 128))"
    [ "$boxes" -ge 1 ] || fail "ended with exit code $exit_code without a box"
    [ "$boxes" -le 2 ] || fail "more than two Error boxes"
    [ "${texts[$((boxes - 1))]}" = "Error Creating OpenGL Window" ] ||
        fail "the last box said \"${texts[$((boxes - 1))]}\" (exit code $exit_code)"
    [ "$exit_code" -ne 0 ] || fail "exit code 0 after failing to create its window"
    [ "$(count_windows "$title")" = 0 ] || fail "a window of the program remains"
    [ -n "$use_wine" ] || grep -qE "^zorvik: cannot create (a window|an OpenGL context)" \
        "$work/stderr" || fail "stderr does not say what failed"
    note "exit code $exit_code after $boxes box(es)"
}

# --- Pictures that must match --------------------------------------------------------------------

# True once a window shows something drawn, kept as the shot NAME.
shows_picture() {
    shoot "$1" "$2"
    drawn "$2"
}
# True once a window shows a picture that differs from the shot OLD, kept as the shot NAME.
shows_other() {
    shoot "$1" "$3"
    drawn "$3" && [ "$(pixels_changed "$2" "$3")" != 0 ]
}
# True once a window shows exactly the picture of the shot "first".
shows_same() {
    shoot "$1" later
    [ "$(pixels_changed first later)" = 0 ]
}
# True once stderr holds at least N lines of --stats.
stats_lines() { [ "$(grep -cE '^zorvik: [0-9.]+ frames/s' "$work/stderr")" -ge "$1" ]; }
# Waits for three lines of --stats (which come every 3 seconds) and checks that the second and
# third give LOW to HIGH steps a second; the first is left out, as it counts the catch-up after
# the slow first frames. The rates are printed as benchmarks of WHAT.
expect_step_rate() {
    local what=$1 low=$2 high=$3 lines fps steps
    wait_for "three rate lines on stderr" stats_lines 3
    lines=$(grep -E '^zorvik: [0-9.]+ frames/s' "$work/stderr")
    note "$lines"
    while read -r fps steps; do
        bench "frames per second $what" "$fps"
        bench "steps per second $what" "$steps"
        awk -v s="$steps" -v l="$low" -v h="$high" 'BEGIN {exit !(s >= l && s <= h)}' ||
            fail "$steps steps a second $what"
    done < <(sed -n '2,3p' <<<"$lines" | awk '{print $2, $4}')
}

# --- Screen-saver hosts ----------------------------------------------------------------------------

# An X window of another program for the saver to draw in (x11_host.c), WIDTH HEIGHT: its id in
# $host; host_command sends it a line ("resize W H", "destroy") and waits for it to be done.
start_host() {
    [ -x "$work/x11_host" ] || cc -O1 -o "$work/x11_host" "$here/x11_host.c" -lX11 ||
        fail "cannot build the host window program"
    [ -z "${host_pid:-}" ] || kill "$host_pid" 2>/dev/null
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

# A Win32 window for the preview (preview_host.c), in the case's prefix: its handle in $host;
# preview_command asks it to "resize W H", "hide", "show" or "destroy". With "message-only", the
# window is one that is never seen.
start_preview_host() {
    [ -f "$work/preview_host.exe" ] ||
        x86_64-w64-mingw32-gcc -O1 -o "$work/preview_host.exe" "$here/preview_host.c" -lgdi32 ||
        fail "cannot build the preview host"
    rm -f "$work/preview.cmd"
    wine "$work/preview_host.exe" "$(winepath -w "$work/preview.cmd")" "$@" \
        >"$work/preview.out" 2>&1 &
    wait_for "the preview host window" test -s "$work/preview.out"
    host=$(head -n 1 "$work/preview.out" | tr -d '\r')
}
preview_command() { echo "$*" >"$work/preview.cmd"; }
# True when the preview window of class OpenGL inside the host is at "X Y W H".
preview_child_is() { [ "$(probe child "$host")" = "$1" ]; }

# The xscreensaver daemon as nobody, on this display, with a private home and a copy of the
# program; saver_command runs xscreensaver-command the same way.
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
programs: GL: $work/bin/zorvik --root \n
SETTINGS
    chown -R 65534:65534 "$work/home"
    as_nobody xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
    daemon_pid=$!
    at_exit 'kill "$daemon_pid" 2>/dev/null; pkill -u 65534 -f "$work/bin/zorvik"'
    wait_for "the xscreensaver daemon" eval 'saver_command -time >/dev/null 2>&1'
}
# nobody cannot run what lies in root's folders: a copy of the program it may run, in $work/bin,
# and a home of its own.
copy_for_nobody() {
    chmod 755 "$work"
    mkdir -p "$work/bin" "$work/home"
    cp "$program" "$work/bin/zorvik"
    chmod 755 "$work/bin" "$work/bin/zorvik"
    chown 65534:65534 "$work/home"
}
# A command as nobody, with nothing of this environment but the display (X11's or Wayland's);
# nobody_command sets $nobody to the words that start one, for a background job whose process
# must be the command itself.
as_nobody() {
    nobody_command
    "${nobody[@]}" "$@"
}
nobody_command() {
    nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$work/home"
        PATH=/usr/bin:/bin)
    [ -z "${DISPLAY:-}" ] || nobody+=(DISPLAY="$DISPLAY")
    [ -z "${WAYLAND_DISPLAY:-}" ] || nobody+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" SWAYSOCK="$SWAYSOCK")
}
saver_command() { as_nobody xscreensaver-command "$@"; }
hack_running() { pgrep -u 65534 -f "$work/bin/zorvik" >/dev/null; }
hack_gone() { ! hack_running; }
