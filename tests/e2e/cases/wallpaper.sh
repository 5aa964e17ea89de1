# The wallpaper on sway: a background-layer surface on each output, below the windows and in no
# container of sway's tree, shows the city on both outputs at their own pixels (--stats says the
# sizes); an output that comes gets a surface of its own; SIGTERM ends it with exit code 0.
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
request_made
kill -TERM "$program_pid"
expect_exit 0
