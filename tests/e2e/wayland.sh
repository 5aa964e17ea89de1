# The native program on a headless sway (SDL's Wayland driver, no X server and no Xwayland), the
# end-to-end library's display for run_case.sh's "wayland". A window is sway's container of the
# program's surface, found in sway's tree; keys come from wtype's virtual keyboards, to whatever
# has the focus, and shots from grim. Boxes are not shown (count_windows Error counts those the
# program tried to show), no other program can minimise a window, and there is no pointer. What
# only this display has:
#
#   start_sway WxH                sway with one headless output of that mode (start_display)
#   swaymsg ARG...                sway's IPC, as nobody
#   window_field ID FILTER        a jq FILTER on the container ID in sway's tree
#   add_output WxH X              another headless output at (X, 0)
#   output_shot OUTPUT NAME       a screenshot of a whole output
#
# sway refuses to run as root, so it, the program (a copy in $work/bin) and every client run as
# nobody with a private XDG_RUNTIME_DIR. There are no input devices but wtype's virtual keyboards,
# and sway gives a new window the focus. A client learns of keys only through a keyboard it took
# when the seat first had one, and a key sent before it has taken it is lost: one wtype that
# types nothing keeps a keyboard on the seat from the start, and each key comes from another.
unset DISPLAY
sway_pid="" keyboard_pid="" held_key_pid="" run_as=()

# A sleeping wtype does not notice that sway has gone: they end with the case.
display_cleanup() {
    release_key
    [ -z "$keyboard_pid" ] || kill "$keyboard_pid" 2>/dev/null
    [ -z "$sway_pid" ] || kill "$sway_pid" 2>/dev/null
}
display_failure() {
    if [ -n "$sway_pid" ] && ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "  sway had ended" >&2
        sed 's/^/  sway: /' "$work/sway.log" | tail -20 >&2
    fi
}

swaymsg() { as_nobody swaymsg "$@"; }

start_display() { start_sway "$@"; }
start_sway() {
    copy_for_nobody
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 0700 "$XDG_RUNTIME_DIR"
    chown 65534:65534 "$XDG_RUNTIME_DIR"
    # Floating windows keep the size the program asks for, as on a stacking desktop; tiled,
    # sway would give them the whole output.
    cat >"$work/sway.config" <<CONFIG
xwayland disable
output HEADLESS-1 mode $1 position 0 0
# No key repeat: a key is held across frames here, and repeats would press it again.
input type:keyboard repeat_rate 0
for_window [app_id="^zorvik$"] floating enable
CONFIG
    chmod 644 "$work/sway.config"
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$work/home" \
        PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WLR_BACKENDS=headless \
        WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$work/sway.config" \
        >"$work/sway.log" 2>&1 &
    sway_pid=$!
    wait_for "sway with a $1 output" sway_answers "$1"
    # Started through $nobody, not as_nobody, whose shell would be what $! names.
    nobody_command
    run_as=("${nobody[@]}")
    "${nobody[@]}" wtype -s 3600000 >>"$work/wtype.log" 2>&1 &
    keyboard_pid=$!
    wait_for "a keyboard on sway's seat" eval \
        'swaymsg -t get_inputs | jq -e "any(.[]; .type == \"keyboard\")" >/dev/null'
}
sway_answers() {
    kill -0 "$sway_pid" 2>/dev/null || fail "sway ended: $(tail -5 "$work/sway.log")"
    local socket display
    socket=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    display=$(cd "$XDG_RUNTIME_DIR" && ls -d wayland-[0-9]* 2>/dev/null | grep -v lock | head -n 1)
    [ -n "$socket" ] && [ -n "$display" ] || return 1
    export SWAYSOCK=$socket WAYLAND_DISPLAY=$display
    [ "$(screen_size)" = "$1" ]
}

# The first output's mode, WIDTHxHEIGHT.
screen_size() {
    swaymsg -t get_outputs 2>/dev/null |
        jq -r 'first(.[] | select(.active)) | "\(.current_mode.width)x\(.current_mode.height)"'
}
add_output() {
    local before
    before=$(swaymsg -t get_outputs | jq length)
    swaymsg create_output >/dev/null || fail "sway made no output"
    wait_for "a new output" eval '[ "$(swaymsg -t get_outputs | jq length)" -gt '"$before"' ]'
    local name
    name=$(swaymsg -t get_outputs | jq -r '.[-1].name')
    swaymsg output "$name" mode "$1" position "$2" 0 >/dev/null || fail "cannot set up $name"
    note "output $name: $1 at $2,0"
}

# --- The program -------------------------------------------------------------------------------

# The copy as nobody (run_as, once sway runs), on sway's display. As natively under X11, SIGINT,
# which a background job starts with ignored, is given its default.
program_command() {
    program_words=("${run_as[@]}" env "${start_signals:---default-signal=INT}" "${sanitizer_env[@]}"
        SDL_VIDEODRIVER=wayland "$@" "$work/bin/zorvik")
}
# The process that runs the program's code: the one started, setpriv and env having become it.
program_process() { echo "$program_pid"; }

# SDL shows boxes on Wayland only through zenity, which is not there; the program writes each to
# stderr as well, so the boxes it tried to show are counted there, and none can be dismissed.
box_texts() { boxes_on_stderr; }
expect_failure_explained() { creation_failure_on_stderr; }
dismiss_box() { fail "no box is shown on Wayland to dismiss"; }

# --- Windows -----------------------------------------------------------------------------------

# The program's containers: id and title, one a line, only those on a visible workspace.
program_windows() {
    swaymsg -t get_tree 2>/dev/null |
        jq -r '.. | objects | select(.pid? != null and .visible == true) | "\(.id) \(.name)"'
}
find_window() {
    local id name
    while read -r id name; do
        if [ "$name" = "$1" ] && [ "$id" != "${2:-}" ]; then
            found=$id
            return 0
        fi
    done < <(program_windows)
    return 1
}
# A window out of sight: no longer among the visible containers.
not_viewable() { ! program_windows | awk '{print $1}' | grep -qx "$1"; }
# The boxes the program tried to show are counted on stderr.
count_windows() {
    if [ "$1" = Error ]; then
        box_texts | wc -l
    else
        program_windows | awk -v t="$1" 'substr($0, index($0, " ") + 1) == t' | wc -l
    fi
}
window_field() { swaymsg -t get_tree | jq -r ".. | objects | select(.id == $1) | $2"; }
# Where the compositor shows the window's content: for a full-screen window, its output.
client_geometry() {
    window_field "$1" '"\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y)" +
        " \(.window_rect.width) \(.window_rect.height)"'
}
# Framed: sway draws a border and a title around it. A full-screen window, and the borderless
# pop-up (which SDL asks to decorate itself), have none. A window just shown has none either until
# SDL's request for sway's decoration has come.
is_framed() {
    wait_for "sway to decorate window $1 or not" frame_settled "$1"
    [ "$(frame_state "$1")" = "0 normal" ]
}
frame_state() { window_field "$1" '"\(.fullscreen_mode) \(.border)"'; }
frame_settled() { [ "$(frame_state "$1")" != "0 none" ]; }

# A close request as sway's own "kill" sends it: the xdg_toplevel's close event.
request_close() { swaymsg "[con_id=$1]" kill >/dev/null; }
# sway's "resize set" sizes the container, frame included, and the program's surface stays at the
# size it asked for; nor does sway have a minimised state.
resize_window() { fail "no other program can resize a window's content on Wayland"; }
minimise() { fail "no other program can minimise a window on Wayland"; }
restore() { fail "no other program can restore a window on Wayland"; }

# --- Keys and the pointer ----------------------------------------------------------------------

hold_key() {
    release_key
    "${run_as[@]}" wtype -P "$2" -s 3600000 >>"$work/wtype.log" 2>&1 &
    held_key_pid=$!
}
# The holding wtype goes with its virtual keyboard; a release from another one makes sure that
# nothing stays down.
release_key() {
    [ -n "$held_key_pid" ] || return 0
    kill "$held_key_pid" 2>/dev/null
    wait "$held_key_pid" 2>/dev/null
    held_key_pid=""
    [ -z "${1:-}" ] || as_nobody wtype -p "$1" 2>/dev/null
}
tap_key() { as_nobody wtype -k "$2"; }
focus_window() { swaymsg "[con_id=$1]" focus >/dev/null; }
click() { fail "no pointer on the headless sway to click with"; }

# --- Screenshots -------------------------------------------------------------------------------

shoot() {
    local x y w h
    read -r x y w h <<<"$(client_geometry "$1")"
    [ -n "$h" ] || fail "cannot find the content of window $1"
    as_nobody grim -g "$x,$y ${w}x$h" - >"$work/$2.png" 2>/dev/null ||
        fail "cannot take a screenshot"
    keep_shot "$2"
}
output_shot() {
    as_nobody grim -o "$1" - >"$work/$2.png" 2>/dev/null || fail "cannot take a shot of $1"
    keep_shot "$2"
}
