# --fps shows the frame rate in the top-left corner: white text on a black backing, so in the
# strip that the text takes there is white and black and nothing in between, whatever the city
# shows beneath (the city alone never draws such a strip: its glow and faces are shades).
start_xvfb 1280x720
strip_is_text() { # NAME: the shot's text strip holds white and black only, and some white
    convert "$work/$1.png" -crop 130x7+4+4 +repage "$work/$1-strip.png" || return 1
    local colours
    colours=$(convert "$work/$1-strip.png" -colorspace gray -unique-colors txt:- | tail -n +2 |
        grep -oE '#[0-9A-F]{6}' | sort -u | tr '\n' ' ')
    [ "$colours" = "#000000 #FFFFFF " ]
}
shows_text() { shoot "$1" overlay && strip_is_text overlay; }

start_program --window --size 640x360 --fps
wait_window "$title"
wait_drawing "$found"
wait_for "the rates in the top-left corner" shows_text "$found"
tap_key "$found" Escape
request_made
expect_exit 0
