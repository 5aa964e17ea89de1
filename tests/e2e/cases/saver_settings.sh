# Windows' settings: zorvik.scr started without arguments (as Windows does for "Settings"), /c
# and /c:HWND open the settings dialog on the stored settings (the defaults while none are
# stored), owned by the window named when there is one. Esc stores nothing. Keys change the
# speed, the monitors and the frame-rate box, Enter stores them in the registry, and the dialog
# opens on them next time. A speed out of range is refused with an Error box and the dialog stays.
# /s then runs at the stored speed, as its --stats lines show. Each dialog ends with exit code 0.
# Bad arguments give an Error box saying what is wrong, and exit code 2; a preview's, for which
# nobody is in front of the screen, only the exit code.
start_xvfb 1280x720
cp "$program" "$work/zorvik.scr"
wine reg delete 'HKCU\Software\zorvik' /f >/dev/null 2>&1

# A stored value in decimal; empty when it is not stored.
stored() {
    local value
    value=$(wine reg query 'HKCU\Software\zorvik' /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name && $2 == "REG_DWORD" {print $3}')
    [ -z "$value" ] || echo $((value))
}
# The dialog's controls, as win_probe's settings command prints them.
dialog_shows() { [ "$(probe settings)" = "$1" ]; }
open_dialog() {
    program="$work/zorvik.scr" start_program "$@"
    wait_window zorvik
    dialog=$found
    wait_for "the settings dialog's controls" probe settings
}
# The whole screen, kept with ZORVIK_E2E_SHOTS like the program's shots.
shoot_screen() {
    import -window root "$work/$1.png" 2>/dev/null || fail "cannot take a screenshot"
    if [ -n "${ZORVIK_E2E_SHOTS:-}" ]; then
        mkdir -p "$ZORVIK_E2E_SHOTS"
        cp "$work/$1.png" "$ZORVIK_E2E_SHOTS/wine-$case_name-$1.png"
    fi
}
defaults="speed=60 monitors=Each monitor shows the city rates=0"
# Clears the speed's text and types another; the speed has the focus whenever the dialog opens.
type_speed() { xdotool key End BackSpace BackSpace BackSpace BackSpace && xdotool type "$1"; }

for args in "" "/c" "-C:123456"; do
    open_dialog $args
    shown=$(probe settings)
    [ "$shown" = "$defaults owner=0" ] || fail "the settings dialog ($args) shows: $shown"
    [ "$(count_windows "$title")" = 0 ] || fail "the settings ($args) opened the animation"
    # Changed, then cancelled: nothing is stored.
    focus_window "$dialog"
    type_speed 200
    wait_for "the typed speed in the dialog" eval 'probe settings | grep -q "^speed=200 "'
    request_made
    xdotool key Escape
    expect_exit 0
    [ -z "$(stored Speed)" ] || fail "Esc ($args) stored the speed $(stored Speed)"
done

# Owned by the window that asked; the speed typed, the next monitor choice (Alt+M, Down), the
# frame rate ticked (Alt+F), and Enter.
start_preview_host
open_dialog "/c:$host"
shown=$(probe settings)
[ "$shown" = "$defaults owner=$host" ] || fail "the settings dialog for window $host shows: $shown"
focus_window "$dialog"
type_speed 30
xdotool key alt+m Down alt+f
changed="speed=30 monitors=One view across all monitors rates=1"
wait_for "the changed settings in the dialog" dialog_shows "$changed owner=$host"
shoot_screen dialog
request_made
xdotool key Return
expect_exit 0
[ "$(stored Speed) $(stored Monitors) $(stored ShowFrameRate)" = "30 1 1" ] ||
    fail "Enter stored Speed=$(stored Speed) Monitors=$(stored Monitors)" \
        "ShowFrameRate=$(stored ShowFrameRate)"
preview_command destroy

# The dialog opens on what was stored. 500 is refused and nothing changes; 120 is stored.
open_dialog /c
shown=$(probe settings)
[ "$shown" = "$changed owner=0" ] || fail "after storing, the settings dialog shows: $shown"
focus_window "$dialog"
type_speed 500
xdotool key Return
wait_window Error
shoot_screen refusal
text=$(probe box)
note "500 steps/s: $text"
[[ $text == *"10 to 240"* ]] || fail "the refusal of 500 steps/s said: $text"
dismiss_box "$found"
find_window zorvik || fail "the dialog went with the refusal of 500 steps/s"
[ "$(stored Speed)" = 30 ] || fail "the refused speed changed the stored one to $(stored Speed)"
focus_window "$dialog"
type_speed 120
wait_for "the speed 120 in the dialog" eval 'probe settings | grep -q "^speed=120 "'
request_made
xdotool key Return
expect_exit 0
[ "$(stored Speed)" = 120 ] || fail "the speed stored is $(stored Speed), not 120"

# /s at the stored 120 steps a second. The first --stats line counts the catch-up after the slow
# first frames; the next two must each lie within a generous 90 to 150. The pointer rests first
# where it is to stay: a move from where the saver first sees it ends the saver.
xdotool mousemove 200 200
start_program /s --stats
wait_window "$title"
expect_step_rate "at a stored speed of 120" 90 150
running || fail "the saver ended before the pointer moved"
request_made
xdotool mousemove 600 500
expect_exit 0

for args in "/q" "--size 0x0" "--pace"; do
    start_program $args
    wait_window Error
    text=$(probe box)
    note "$args: $text"
    [ -n "$text" ] || fail "the Error box for '$args' is empty"
    dismiss_box "$found"
    expect_exit 2
done
start_program /p notahandle
expect_exit 2
[ "$(probe boxes)" = 0 ] || fail "/p notahandle showed a box"
