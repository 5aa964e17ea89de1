# --pace 60 advances the city 60 steps a second of wall-clock time, whatever the frame rate of the
# software renderer: read from --stats, whose lines come every 3 seconds. The first line is left
# out (it counts the catch-up after the slow first frames), the next two must each lie within a
# generous 40 to 80 steps a second.
start_xvfb 1280x720
start_program --window --size 640x360 --pace 60 --stats
wait_window "$title"
expect_step_rate "at --pace 60" 40 80
tap_key "$found" Escape
request_made
expect_exit 0

# At --max-fps 1 the wait for the next frame is a wait for input: Esc ends the run after the frame it
# wakes, not after the rest of the second (the time is printed, as a benchmark).
start_program --window --size 160x90 --max-fps 1
wait_window "$title"
request_made
tap_key "$found" Escape
expect_exit 0
