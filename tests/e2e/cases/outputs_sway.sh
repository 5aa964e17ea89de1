# Outputs that change while the saver runs on sway: each output has a surface of its own, and
# after an output is added, one's mode changed, one set to scale 2 and a no-op enable (headless
# sway 1.7 cannot disable its outputs) the saver lives on, every output shows the city, and a key
# still ends it with exit code 0. After the mode, and at scale 2, a surface draws at its output's
# own pixels, which --stats says; at scale 1.5 the buffer scale is 2.
start_display 1280x720
add_output 1280x720 1280
outputs() { swaymsg -t get_outputs | jq -r '.[] | select(.active) | .name'; }
# Every output holds a window of the program, full screen, and shows a picture. (An output with
# none shows sway's grey, which is drawn too.)
every_output_drawn() {
    local name
    for name in $(outputs); do
        [ "$(swaymsg -t get_tree | jq --arg o "$name" '[.. | objects | select(.type == "output" and .name == $o) | .. | objects | select(.name == "'"$title"'" and .fullscreen_mode == 1)] | length')" = 1 ] || return 1
        output_shot "$name" "$name" && drawn "$name" || return 1
    done
}
# The size surface N (the first output's is 1, the second's 2) last said it draws at.
last_size() { grep -o "surface $1 draws at [0-9x]*" "$work/stderr" | tail -n 1 | awk '{print $5}'; }
change() { # WHAT SWAYMSG-ARGS...
    local what=$1 start
    shift
    start=$(now_ms)
    "$@" >/dev/null || fail "sway refused: $what"
    wait_for "every output drawn after: $what" every_output_drawn
    running || fail "the saver ended after: $what"
    bench "$what: every output drawn again (ms)" $(($(now_ms) - start))
}
start_program --saver --pace 1 --stats
wait_window "$title"
wait_for "every output drawn" every_output_drawn
change "an output added" add_output 800x600 2560
change "a mode" swaymsg output HEADLESS-2 mode 1024x768
wait_for "the second output's surface at 1024x768" eval '[ "$(last_size 2)" = 1024x768 ]'
change "scale 2" swaymsg output HEADLESS-1 scale 2
[ "$(last_size 1)" = 1280x720 ] || fail "at scale 2 a surface draws at $(last_size 1), not 1280x720"
change "scale 1.5" swaymsg output HEADLESS-1 scale 1.5
wait_for "the first output's buffer scale 2 at scale 1.5" eval \
    '[ "$(grep -o "surface 1 draws at .*" "$work/stderr" | tail -n 1 | cut -d, -f2)" = " buffer scale 2" ]'
change "a no-op enable" swaymsg output HEADLESS-1 enable
[ "$(count_windows "$title")" = 3 ] || fail "$(count_windows "$title") surfaces for 3 outputs"
request_made
tap_key "$found" space
expect_exit 0
