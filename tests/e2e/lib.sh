# The end-to-end library: the real program on a private display, looked at from the outside.
# run_case.sh sources this core, then the one file of the case's display, then one case from
# cases/, which starts things, acts, waits for a condition and checks. The displays:
#
#   x11.sh       the native program on a private Xvfb
#   wine.sh      the 64-bit Windows program under Wine, on a private Xvfb
#   wayland.sh   the native program on a headless sway
#
# (x11.sh and wine.sh share the X server's side, xserver.sh, which they source themselves.) Every
# display offers the same verbs (ID is a window id on that display, NAME a shot's name); one that a
# display cannot perform fails there, saying why:
#
#   start_display WxH             the display with a screen or output of that size
#   start_program [VAR=VALUE...] [ARG...]   the program in the background, as the display runs it
#   wait_window TITLE [OLD]       the first viewable window of that title (not OLD) -> $found
#   wait_new_window OLD           the program's window once it is another than OLD -> $found
#   find_window TITLE [OLD]       the same, looked for once
#   wait_for WHAT COMMAND...      polls COMMAND until it succeeds, else fails with "WHAT"
#   wait_frames, wait_idle        until the program uses the processor / has stopped using it
#   wait_drawing ID               until the window shows pictures that change
#   request_made, expect_exit CODE, wait_exit   the end: exit code, time since the request
#   wait_window_gone ID           until the window is out of sight, timed from the request
#   tap_key ID KEY, hold_key ID KEY, release_key KEY, click ID X Y, toggle ID (F1 -> $found)
#   focus_window ID, request_close ID, minimise ID, restore, resize_window ID WxH
#   client_geometry ID, is_framed ID, count_windows TITLE [viewable]
#   dismiss_box ID, box_texts     Error boxes: dismissed one at a time; their texts, one a line
#   dismiss_boxes_until_exit, expect_creation_failure   a program that cannot make its window
#   shoot ID NAME, drawn NAME, pixels_changed A B     screenshots of a client area
#   shows_picture ID NAME, shows_other ID OLD NAME, shows_same ID   conditions on shots
#   expect_step_rate WHAT LOW HIGH   the steps per second that --stats reports
#   screen_size, cpu_ticks, ticks_in SECONDS, running, note TEXT, bench WHAT VALUE, fail TEXT
#   at_exit COMMAND               COMMAND when the case ends, before the display is taken down
#   copy_for_nobody, as_nobody COMMAND..., nobody_command   the program and commands as nobody
#
# What only one display has is listed in its file. This core holds what is the same everywhere;
# each display file defines the rest: start_display, find_window, not_viewable, count_windows,
# client_geometry, is_framed, focus_window, hold_key, release_key, tap_key, click, request_close,
# minimise, restore, resize_window, dismiss_box, box_texts, screen_size, shoot, and for the core
# program_command, program_process, expect_failure_explained, display_failure (what fail adds
# about the display) and display_cleanup (what the EXIT trap takes down).
#
# Every wait polls up to $deadline seconds (ZORVIK_E2E_DEADLINE, 60 by default), far beyond what
# a busy machine needs, so that only a hang reaches it. How long things took is printed on
# "benchmark:" lines and never checked. ZORVIK_E2E_SHOTS=DIR keeps the screenshots,
# ZORVIK_E2E_KEEP keeps the work folder, ZORVIK_E2E_WINEDEBUG sets Wine's debug channels.

work=$(mktemp -d /tmp/zorvik-e2e.XXXXXX)
deadline=${ZORVIK_E2E_DEADLINE:-60}
title="zorvik - tavrin 2005"
program_pid="" request_ms="" exit_code="" found=""
exit_commands=()

# $tag names the display on every line that the case prints (none natively under X11).
note() { echo "$*"; }
bench() { echo "benchmark: $case_name${tag:+ ($tag)}: $1: $2"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

fail() {
    echo "FAIL ($case_name${tag:+, $tag}): $*" >&2
    # Whether the program was still running tells a slow window system from a program that died.
    # Only the script's own shell can wait for it, not a command substitution.
    if [ "$BASHPID" = "$$" ] && [ -n "$program_pid" ] && ! kill -0 "$program_pid" 2>/dev/null; then
        wait "$program_pid" 2>/dev/null
        echo "  the program had ended, exit code $?" >&2
        program_pid=""
    fi
    [ -s "$work/stderr" ] && sed 's/^/  program stderr: /' "$work/stderr" | head -40 >&2
    display_failure
    exit 1
}

# The one EXIT trap: what the case asked for (at_exit, the latest first), the program, then the
# display with whatever its file started.
at_exit() { exit_commands+=("$1"); }
cleanup() {
    local i
    for ((i = ${#exit_commands[@]} - 1; i >= 0; i--)); do eval "${exit_commands[$i]}"; done
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    display_cleanup
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

# --- The program -------------------------------------------------------------------------------

# A program built with AddressSanitizer checks for leaks when it ends and fails if it finds any;
# lsan.supp lists the system libraries' own. The OpenGL driver is unloaded before LeakSanitizer
# looks, so what it leaked would come from an unknown module that no suppression can name: loaded
# from the start, it stays to the end and its leaks carry its name (AddressSanitizer comes first).
# A Windows executable links no libasan, and this stays empty.
sanitizer_env=()
if asan_library=$(ldd "$program" 2>/dev/null | awk '/libasan/ {print $3}') &&
    [ -n "$asan_library" ]; then
    sanitizer_env=("LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0")
    dri_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -1)
    [ -z "$dri_driver" ] || sanitizer_env+=("LD_PRELOAD=$asan_library $dri_driver")
fi

# The display's program_command sets $program_words to the words that run $program (read at each
# start: a case may name another for one start) with the variables given.
start_program() {
    local vars=()
    while [ $# -gt 0 ] && [[ $1 =~ ^[A-Za-z_][A-Za-z0-9_]*= ]]; do
        vars+=("$1")
        shift
    done
    program_command "${vars[@]}"
    "${program_words[@]}" "$@" >"$work/stdout" 2>"$work/stderr" &
    program_pid=$!
}

# The program's processor time so far, in clock ticks (1/100 s), of the process that the display
# names as the one running the program's code.
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
wait_window_gone() {
    wait_for "window $1 to go out of sight" not_viewable "$1"
    bench "out of sight after the request (ms)" $(($(now_ms) - request_ms))
}
expect_exit() {
    wait_exit
    [ "$exit_code" = "$1" ] || fail "exit code $exit_code, expected $1"
}

# --- Windows -----------------------------------------------------------------------------------

wait_window() { wait_for "viewable window \"$1\"${2:+ other than $2}" find_window "$@"; }
wait_new_window() { wait_window "$title" "$1"; }

# Holds F1 until the window has been recreated; the new window's id in $found.
toggle() {
    hold_key "$1" F1
    wait_new_window "$1"
    release_key F1
}

# --- Screenshots -------------------------------------------------------------------------------

keep_shot() {
    if [ -n "${ZORVIK_E2E_SHOTS:-}" ]; then
        mkdir -p "$ZORVIK_E2E_SHOTS"
        cp "$work/$1.png" "$ZORVIK_E2E_SHOTS/${tag:+$tag-}$case_name-$1.png"
    fi
}

# True when a shot shows a picture: more than one colour, and not all black, the colour the program
# clears to. A window's plain background (white under Wine, while a resized window waits for its
# next frame) is one colour too.
drawn() {
    local range
    range=$(convert "$work/$1.png" -colorspace gray -format '%[min] %[max]' info:) &&
        [ "${range#* }" != 0 ] && [ "${range% *}" != "${range#* }" ]
}
# True when a shot is all black.
black() { [ "$(convert "$work/$1.png" -colorspace gray -format '%[max]' info:)" = 0 ]; }

# How many pixels differ at all between two shots of the same size. The display draws the same
# frame to the same pixels, so a picture that is not redrawn differently changes nowhere.
pixels_changed() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1; }

# True when two shots of one size show the same picture: the same state drawn into two views of one
# shape. Where the views lie at other places on the screen the rasteriser may round the odd edge
# pixel otherwise, so up to one pixel in 200 may differ; a view cut off, stretched or of another
# moment differs in far more.
alike() {
    local changed size
    # compare's status says whether the shots differ at all: only its count matters here.
    changed=$(pixels_changed "$1" "$2")
    size=$(identify -format '%[fx:w*h]' "$work/$1.png") || return 1
    [ -n "$changed" ] && [ "$changed" -le $((size / 200)) ]
}

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
# box (the refused mode switch); a non-zero exit code, no crash, no window left, and what failed
# said as the display's program says it (expect_failure_explained).
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
    expect_failure_explained
    note "exit code $exit_code after $boxes box(es)"
}

# The native program writes each box it shows to stderr as well, its lines after the first
# indented: the texts, one a line, their lines joined by spaces.
boxes_on_stderr() {
    awk '/^zorvik: Error: / {if (t != "") print t; t = substr($0, 16); next}
         /^zorvik: / {if (t != "") print t; t = ""; next}
         t != "" {t = t " " $0} END {if (t != "") print t}' "$work/stderr"
}
# The native program names on stderr what it could not create.
creation_failure_on_stderr() {
    grep -qE "^zorvik: cannot create (a window|an OpenGL context)" "$work/stderr" ||
        fail "stderr does not say what failed"
}

# --- Pictures that must match ------------------------------------------------------------------

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
# the slow first frames; below one frame a second the bounds scale with the frame rate, as a frame
# takes at most one second's steps. The rates are printed as benchmarks of WHAT.
expect_step_rate() {
    local what=$1 low=$2 high=$3 lines fps steps
    wait_for "three rate lines on stderr" stats_lines 3
    lines=$(grep -E '^zorvik: [0-9.]+ frames/s' "$work/stderr")
    note "$lines"
    while read -r fps steps; do
        bench "frames per second $what" "$fps"
        bench "steps per second $what" "$steps"
        awk -v s="$steps" -v f="$fps" -v l="$low" -v h="$high" \
            'BEGIN {k = f < 1 ? f : 1; exit !(s >= l * k && s <= h * k)}' ||
            fail "$steps steps a second at $fps frames a second $what"
    done < <(sed -n '2,3p' <<<"$lines" | awk '{print $2, $4}')
}

# --- As nobody ---------------------------------------------------------------------------------

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
