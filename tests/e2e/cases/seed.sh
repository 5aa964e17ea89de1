# --seed N gives the same frames every time: a shot of a first run, taken as soon as it shows the
# city, turns up exactly, pixel for pixel, among the shots of a second run with the same seed.
# At one step a second each state stays on the screen long enough to be caught, however slow the
# machine. (Another seed draws other frames: the camera's first move already comes from it.)
start_xvfb 640x480
options=(--window --size 320x180 --seed 1765432138 --pace 1)
start_program "${options[@]}"
wait_window "$title"
wait_for "a picture" shows_picture "$found" first
tap_key "$found" Escape
request_made
expect_exit 0

start_program "${options[@]}"
wait_window "$title"
wait_for "the first run's picture in the second run" shows_same "$found"
tap_key "$found" Escape
request_made
expect_exit 0
