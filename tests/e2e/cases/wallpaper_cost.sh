# What the wallpaper costs on one 1280x720 output, in processor seconds per minute (printed, never
# asserted): seen, on battery (a power-supply folder of our own, unplugged: the frames stop, and
# come back when plugged in), covered by a full-screen window, and the plain animation full screen
# on the same output at the same pace for comparison. With swayidle waiting 2 s for no input, its
# command runs while the wallpaper draws: the wallpaper holds no idle inhibitor. One seed for both
# runs: the cities of two seeds can differ in cost several times over.
start_display 1280x720
per_minute() { # SECONDS: processor seconds per minute over that long, to two decimals
    local ticks
    ticks=$(ticks_in "$1")
    awk -v t="$ticks" -v s="$1" 'BEGIN { printf "%.2f", t / 100 * 60 / s }'
}
nobody_command
"${nobody[@]}" swayidle -w timeout 2 "touch '$work/home/idle'" >"$work/swayidle.log" 2>&1 &
idle_pid=$!
at_exit 'kill "$idle_pid" 2>/dev/null'
# A power supply of our own, on mains: a laptop's mains adapter and battery.
mkdir -p "$work/power/AC" "$work/power/BAT0"
echo Mains >"$work/power/AC/type"
echo 1 >"$work/power/AC/online"
echo Battery >"$work/power/BAT0/type"
chmod -R a+rX "$work/power"
start_program ZORVIK_POWER_SUPPLY="$work/power" --wallpaper --seed 7
wait_for "the city on the output" eval 'output_shot HEADLESS-1 seen && drawn seen'
wait_for "swayidle's timeout while the wallpaper draws" eval '[ -e "$work/home/idle" ]'
running || fail "the wallpaper ended"
bench "wallpaper at 30 frames/s (CPU s per minute)" "$(per_minute 10)"

# Unplugged: the frames stop within the 5 s between readings; plugged in again, they come back.
start=$(now_ms)
echo 0 >"$work/power/AC/online"
wait_idle
bench "on battery: the frames stopped within (ms)" $(($(now_ms) - start))
bench "wallpaper on battery (CPU s per minute)" "$(per_minute 10)"
echo 1 >"$work/power/AC/online"
wait_frames

# A full-screen window (the plain animation, slow) covers it: the wallpaper draws nothing.
"${run_as[@]}" env SDL_VIDEODRIVER=wayland "$work/bin/zorvik" --window --size 320x240 \
    --max-fps 2 >"$work/window.log" 2>&1 &
window_pid=$!
at_exit "kill $window_pid 2>/dev/null"
wait_window "$title"
swaymsg "[con_id=$found]" fullscreen enable >/dev/null || fail "sway refused the full screen"
wait_idle
bench "wallpaper covered (CPU s per minute)" "$(per_minute 10)"
kill "$window_pid"
request_made
kill -TERM "$program_pid"
expect_exit 0

start_program --size desktop --pace 60 --seed 7
wait_window "$title"
wait_frames
bench "plain animation at --pace 60 (CPU s per minute)" "$(per_minute 10)"
request_made
kill -TERM "$program_pid"
expect_exit 0
