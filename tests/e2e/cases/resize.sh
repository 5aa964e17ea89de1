# A window resized keeps the city's own view, for its new shape: a run started at 320x180 and made
# one pixel wider shows, pixel for pixel, a picture that a run started at 321x180 with the same
# seed shows. (The view that the resize once set kept only the nearest beams in sight.) At one
# step a second each state stays on the screen long enough to be caught; the picture kept from the
# first run is the fourth state's, so that the resize of the second run comes well before it.
start_xvfb 640x480
options=(--window --seed 1765432138 --pace 1)
start_program "${options[@]}" --size 321x180
wait_window "$title"
wait_for "a picture" shows_picture "$found" start
for state in 2 3 4; do
    wait_for "state $state" shows_other "$found" start "state$state"
    cp "$work/state$state.png" "$work/start.png"
done
cp "$work/state4.png" "$work/first.png"
tap_key "$found" Escape
request_made
expect_exit 0

start_program "${options[@]}" --size 320x180
wait_window "$title"
resize_window "$found" 321x180 || fail "cannot resize the window"
wait_for "a client area of 321x180" eval '[ "$(client_geometry "$found" | cut -d" " -f3,4)" = "321 180" ]'
wait_for "the first run's picture after the resize" shows_same "$found"
tap_key "$found" Escape
request_made
expect_exit 0
