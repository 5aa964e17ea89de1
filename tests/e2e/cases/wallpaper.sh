# The wallpaper on sway: a background-layer surface on each output, below the windows and in no
# container of sway's tree, shows the city on both outputs at their own pixels (--stats says the
# sizes, also at scale 2); an output that comes gets a surface of its own; a window stays above it
# and keeps the keyboard; that window full screen stops its output's frames (--stats counts each
# surface's) and they come back after; SIGTERM ends it with exit code 0.
start_display 1280x720
add_output 800x600 1280
outputs() { swaymsg -t get_outputs | jq -r '.[] | select(.active) | .name'; }
every_output_drawn() {
    local name
    for name in $(outputs); do
        output_shot "$name" "wallpaper-$name" && drawn "wallpaper-$name" || return 1
    done
}
sizes() { grep -o "surface [0-9]* draws at [0-9x]*" "$work/stderr" | awk '{print $5}' | sort -u | tr '\n' ' '; }
start_program --wallpaper --stats
wait_for "the city on every output" every_output_drawn
[ "$(sizes)" = "1280x720 800x600 " ] || fail "surfaces drawn at $(sizes)"
[ -z "$(program_windows)" ] || fail "the wallpaper has windows in sway's tree: $(program_windows)"
add_output 640x480 2080
wait_for "a third surface at 640x480" eval '[ "$(sizes)" = "1280x720 640x480 800x600 " ]'
wait_for "the city on all three outputs" every_output_drawn
# At scale 2 the second output is 400x300 of the desktop's units, and its surface still draws at
# its 800x600 pixels.
told=$(grep -c "surface 2 draws at" "$work/stderr")
swaymsg output HEADLESS-2 scale 2 >/dev/null || fail "sway refused scale 2"
wait_for "surface 2's size told again" eval '[ "$(grep -c "surface 2 draws at" "$work/stderr")" -gt '"$told"' ]'
wait_for "the city on all three outputs at scale 2" every_output_drawn
last=$(grep -o "surface 2 draws at [0-9x]*" "$work/stderr" | tail -n 1 | awk '{print $5}')
[ "$last" = 800x600 ] || fail "at scale 2 surface 2 draws at $last, not 800x600"

# Another program's window (a slow zorvik), floating above the wallpaper on the first output.
"${run_as[@]}" env SDL_VIDEODRIVER=wayland "$work/bin/zorvik" --window --size 320x240 \
    --max-fps 5 >"$work/window.log" 2>&1 &
window_pid=$!
at_exit "kill $window_pid 2>/dev/null"
wait_window "$title"
[ "$(window_field "$found" .focused)" = true ] || fail "the window above has no keyboard"
output_of() { swaymsg -t get_tree | jq -r --argjson id "$1" '.nodes[] | select(any(.. | objects; .id? == $id)) | .name'; }
screen=$(output_of "$found")
number=${screen##*-}
# Surfaces are made in the outputs' order: HEADLESS-N's is surface N.
drawn_by() { grep "frames drawn by surface" "$work/stderr" | tail -n "$2" | head -n 1 | grep -o " $1=[0-9]*" | cut -d= -f2; }
still() { local a b; a=$(drawn_by "$1" 1) b=$(drawn_by "$1" 2); [ -n "$a" ] && [ "$a" = "$b" ]; }
moving() { local a b; a=$(drawn_by "$1" 1) b=$(drawn_by "$1" 2); [ -n "$a" ] && [ "$a" != "$b" ]; }
other=$((number % 3 + 1))
wait_for "surface $number drawing" moving "$number"
hidden() { grep -c "surface $number out of sight" "$work/stderr"; }
before=$(hidden)
start=$(now_ms)
swaymsg "[con_id=$found]" fullscreen enable >/dev/null || fail "sway refused the full screen"
wait_for "surface $number out of sight" eval '[ "$(hidden)" -gt "$before" ]'
bench "full screen: the surface behind it stopped within (ms)" $(($(now_ms) - start))
wait_for "surface $number still behind a full-screen window" still "$number"
moving "$other" || fail "surface $other stopped too"
swaymsg "[con_id=$found]" fullscreen disable >/dev/null || fail "sway refused to end the full screen"
wait_for "surface $number drawing again" moving "$number"
kill "$window_pid"
request_made
kill -TERM "$program_pid"
expect_exit 0
