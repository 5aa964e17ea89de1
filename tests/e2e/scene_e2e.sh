#!/usr/bin/env bash
# Runs the real program on a private Xvfb and checks from screenshots that the animation runs.
#
# Usage: scene_e2e.sh PROGRAM [wine]
#   On a 1280x720 screen: screenshots taken seconds apart show drawn geometry and differ; after F1
#   the picture carries on instead of going back to the start's close-up; a tap of Esc ends the
#   program with exit code 0 within 3 s. ZORVIK_E2E_SHOTS=DIR keeps the screenshots.
#
# What the screenshots can show: the first minute of the animation is a dark close-up. The camera
# starts among the boxes and everything is lit by the four spot lights alone (black ambient), so
# a shot holds a few large, flat-shaded grey faces on black, and while the lights wander off it
# can be black for seconds. The towers, beams and glowing ground come into view only after a few
# hundred frames, minutes away at the speed of a software renderer. The checks are sized to that.
set -uo pipefail

case_name=animation
program=$1
use_wine=${2:-}
source "$(dirname "$0")/e2e_lib.sh"

# A pixel counts as drawn when it is brighter than 1.5 % grey: the clear colour is pure black,
# and the dimmest lit face of the early frames is about 3 % grey.
drawn_threshold=1.5%

# Takes a screenshot of the program's client area, as much of it as is on the screen, into
# $work/$1.png.
shoot() {
    local name=$1 x y w h
    read -r x y w h <<<"$(client_geometry "$window")"
    [ -n "$h" ] || fail "cannot find the client area"
    w=$((w + x > 1280 ? 1280 - x : w))
    h=$((h + y > 720 ? 720 - y : h))
    import -window root -crop "${w}x$h+$x+$y" +repage "$work/$name.png" 2>/dev/null ||
        fail "cannot take a screenshot"
    keep_shot "$work/$name.png"
}

# Share of the picture's pixels that are drawn (see drawn_threshold), 0..1.
drawn_share() {
    convert "$work/$1.png" -colorspace gray -threshold "$drawn_threshold" -format '%[fx:mean]' info:
}

# Number of distinct colours of the drawn pixels (black excluded).
shades() {
    local all black
    all=$(identify -format '%k' "$work/$1.png")
    black=$(convert "$work/$1.png" -colorspace gray -threshold 0 -negate -format '%[fx:mean>0]' info:)
    echo $((all - black))
}

# How much two pictures look alike, -1..1: the normalised cross-correlation of their grey levels
# after both are shrunk to 64x36. Shrinking keeps where the lit faces and edges are and drops
# single pixels, and lets a framed client area a few rows short of the full screen compare with
# it; the normalisation drops the overall brightness, which the flickering, fading lights change
# from frame to frame while the view stays the same.
likeness() {
    convert "$work/$1.png" -colorspace gray -resize '64x36!' "$work/$1.small.png"
    convert "$work/$2.png" -colorspace gray -resize '64x36!' "$work/$2.small.png"
    compare -metric NCC "$work/$1.small.png" "$work/$2.small.png" null: 2>&1
}

# Share of the pixels that differ at all between two pictures of the same size, 0..1. Xvfb draws
# the same frame to the same pixels, so a picture that does not move changes nowhere.
changed_share() {
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 |
        awk -v n="$(identify -format '%[fx:w*h]' "$work/$1.png")" '{print $1 / n}'
}

# True when awk finds the expression true.
holds() { awk "BEGIN { exit !($1) }"; }

# A shot shows the scene when a fifth of it or more is drawn, in at least two shades (two faces
# of a box at least). A window that draws nothing is black; one that draws without lights or
# depth would be a single flat shade.
shows_scene() {
    local drawn
    drawn=$(drawn_share "$1")
    holds "$drawn >= 0.2" && [ "$(shades "$1")" -ge 2 ]
}

describe() {
    echo "$1: drawn $(drawn_share "$1"), $(shades "$1") shades, mean grey" \
        "$(convert "$work/$1.png" -colorspace gray -format '%[fx:mean]' info:)"
}

start_xvfb 1280x720
[ -n "$use_wine" ] && prepare_wine
start_program
window=$(wait_window "$title" 20) || fail "no window appeared"
wait_frames

# The start: the first shot that shows the scene. The camera's first glide and the objects are
# built from the unseeded random source, so every run starts with this same close-up, and an
# animation that started over after F1 would show it again.
for i in $(seq 1 40); do
    shoot start
    shows_scene start && break
    sleep 0.5
done
shows_scene start || fail "no shot in 20 s showed the scene: $(describe start)"
describe start
started=$(now_ms)

# Running: two shots about 3 s apart, both showing the scene, must differ. The spot lights flicker
# every frame and the camera moves; in the runs we watched from 0.7 % (two or three frames under
# Wine on a busy machine) to all of the pixels changed in 3 s. A frozen picture changes none, so
# the bar is set at 0.1 %, well above nothing and well below the least we saw.
shoot previous
while true; do
    sleep 3
    shoot current
    if shows_scene previous && shows_scene current; then
        changed=$(changed_share previous current)
        echo "3 s apart: $changed of the pixels changed"
        holds "$changed > 0.001" || fail "the picture did not change in 3 s ($changed changed)"
        break
    fi
    [ $(($(now_ms) - started)) -lt 60000 ] || fail "no two shots 3 s apart showed the scene"
    cp "$work/current.png" "$work/previous.png"
done

# F1 carries on. Wait until the picture no longer looks like the start, so that starting over
# would show, then toggle and compare the first shot of the new window with the last one of the
# old window and with the start.
while true; do
    shoot before
    if shows_scene before && holds "$(likeness start before) < 0.3"; then
        # Once more, with the window focused for F1: the lights may have faded meanwhile.
        focus_window "$window"
        shoot before
        shows_scene before && holds "$(likeness start before) < 0.3" && break
    fi
    [ $(($(now_ms) - started)) -lt 90000 ] || fail "the picture never moved away from the start"
    sleep 1
done
describe before
xdotool keydown F1
framed=$(wait_new_window "$window")
release_key F1
[ -n "$framed" ] || fail "F1 did not recreate the window"
window=$framed
for i in $(seq 1 40); do
    sleep 0.25
    shoot after
    shows_scene after && break
done
describe after
shows_scene after || fail "the new window did not show the scene within 10 s"
carried=$(likeness before after)
restarted=$(likeness start after)
echo "after F1: likeness to the shot before F1 $carried, to the start $restarted"
# Started over, the new window would show the start's close-up again: every run begins with
# that same view, and the first shots that show the scene in two separate runs had a likeness of
# 0.9996 to each other, natively and under Wine. The shot after F1 is taken the same way, as the
# first one that shows the scene, so a start over would look like the start shot far beyond 0.6,
# and more than like the shot before F1 (0.08 to 0.28 between one run's start and another's shot
# before F1). Carrying on, the shot after F1 is a few frames past the one before it, which was
# already unlike the start (below 0.3); in the few frames that F1 takes, the camera can swing or
# a light sweep across the view, and likenesses to the start of up to 0.35 were seen.
if holds "$restarted >= 0.6 && $restarted >= $carried"; then
    fail "after F1 the picture looks like the start again (likeness $restarted, to the shot before F1 $carried)"
fi

# A tap, not a held key: a frame here takes up to a second, and a press and release that both
# come while one renders must still be seen.
tap_key "$window" Escape
expect_exit_zero_within_3s "$(now_ms)"
exit 0
