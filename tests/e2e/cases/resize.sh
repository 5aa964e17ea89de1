# A window resized keeps the city's own view, for its new shape: a run started at 320x180 and made
# one pixel wider shows, pixel for pixel, pictures that a run started at 321x180 with the same
# seed shows. (The view that the resize once set kept only the nearest beams in sight.)
#
# At one step a second each state stays on the screen for a second or more, and a shot must not
# miss it: the client area is looked up once per run (a Win32 probe under Wine takes most of a
# second on a busy machine), and shots are compared whole, as raw pixels. The resized run goes
# first and keeps three states in a row, drawn after its resize whenever a busy machine let that
# come; the run of the other size then passes through every state in order, and shows one of them.
grab() { import -window root -crop "$area" +repage "$work/$1.ppm" 2>/dev/null || fail "no shot"; }
grab_other() { grab "$2" && ! cmp -s "$work/$1.ppm" "$work/$2.ppm"; }
grab_kept() {
    local n
    grab later
    for n in 1 2 3; do cmp -s "$work/kept$n.ppm" "$work/later.ppm" && return 0; done
    return 1
}
find_area() { area=$(client_geometry "$found" | awk '{print $3 "x" $4 "+" $1 "+" $2}'); }

start_xvfb 640x480
options=(--window --seed 1765432138 --pace 1)
start_program "${options[@]}" --size 320x180
wait_window "$title"
wait_for "a picture" shows_picture "$found" before
resize_window "$found" 321x180 || fail "cannot resize the window"
wait_for "a client area of 321x180" eval '[ "$(client_geometry "$found" | cut -d" " -f3,4)" = "321 180" ]'
find_area
# The frame under way during the resize may still come with the old view; those after the next
# change come with the new one.
grab resized
wait_for "a picture after the resize" grab_other resized changed
previous=changed
for n in 1 2 3; do
    wait_for "state $n after the resize" grab_other "$previous" "kept$n"
    convert "$work/kept$n.ppm" "$work/kept$n.png" && drawn "kept$n" || fail "state $n drawn nothing"
    keep_shot "kept$n"
    previous=kept$n
done
tap_key "$found" Escape
request_made
expect_exit 0

start_program "${options[@]}" --size 321x180
wait_window "$title"
find_area
wait_for "a picture of the resized run" grab_kept
tap_key "$found" Escape
request_made
expect_exit 0
