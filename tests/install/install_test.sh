#!/usr/bin/env bash
# The Linux installation and its Debian package, checked from the outside: an install into a
# scratch DESTDIR holds exactly the expected files, the installed programs and data work (the
# capture tool renders, the desktop entry, the saver settings and the manual pages validate), and
# `cpack -G DEB` makes a package with the same files, the right fields and no lintian errors.
# Usage: install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Under the prefix /usr, which is also where the package puts them.
expected="usr/bin/zorvik
usr/bin/zorvik-capture
usr/lib/systemd/user/zorvik-wallpaper.service
usr/libexec/xscreensaver/zorvik
usr/share/applications/zorvik.desktop
usr/share/doc/zorvik/README.md
usr/share/doc/zorvik/changelog.gz
usr/share/doc/zorvik/copyright
usr/share/icons/hicolor/128x128/apps/zorvik.png
usr/share/icons/hicolor/256x256/apps/zorvik.png
usr/share/icons/hicolor/48x48/apps/zorvik.png
usr/share/man/man1/zorvik-capture.1.gz
usr/share/man/man6/zorvik.6.gz
usr/share/xscreensaver/config/zorvik.xml"

echo "--- cmake --install into a DESTDIR"
root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort)
if [ "$installed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$installed") >&2 || true
    fail "the installed files are not the expected ones (< expected, > installed)"
fi
usr=$root/usr

# The xscreensaver hack is the program itself, by a relative link that survives a move of root.
[ "$(readlink "$usr/libexec/xscreensaver/zorvik")" = ../../bin/zorvik ] ||
    fail "libexec/xscreensaver/zorvik is not a link to ../../bin/zorvik"
[ "$usr/libexec/xscreensaver/zorvik" -ef "$usr/bin/zorvik" ] || fail "the hack's link is broken"
[ -x "$usr/bin/zorvik" ] && [ -x "$usr/bin/zorvik-capture" ] || fail "a program is not executable"

(cd "$work" && "$usr/bin/zorvik-capture" --frames 1 --size 64x36 --out x.png) ||
    fail "the installed zorvik-capture failed"
[[ $(file "$work/x.png") == *"PNG image data, 64 x 36,"* ]] || fail "x.png: $(file "$work/x.png")"

for size in 48 128 256; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/zorvik.png
    [[ $(file "$icon") == *"PNG image data, $size x $size,"* ]] || fail "$(file "$icon")"
done
# A picture of the city, not a flat square: many distinct colours.
colours=$(convert "$usr/share/icons/hicolor/256x256/apps/zorvik.png" -format %k info:)
[ "$colours" -ge 1000 ] || fail "the 256-pixel icon has only $colours colours"
# And opaque everywhere: a desktop shows a transparent pixel as its own background.
for size in 48 128 256; do
    alpha=$(convert "$usr/share/icons/hicolor/${size}x${size}/apps/zorvik.png" -alpha extract \
        -format '%[fx:minima]' info:)
    [ "$alpha" = 1 ] || fail "the $size-pixel icon is not opaque (least alpha $alpha)"
done

report=$(desktop-file-validate "$usr/share/applications/zorvik.desktop" 2>&1) ||
    fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate has remarks: $report"
grep -qx "Exec=zorvik" "$usr/share/applications/zorvik.desktop" || fail "the desktop entry's Exec"
grep -qx "Icon=zorvik" "$usr/share/applications/zorvik.desktop" || fail "the desktop entry's Icon"

xml=$usr/share/xscreensaver/config/zorvik.xml
xmllint --noout "$xml" || fail "xmllint refuses zorvik.xml"
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = zorvik ] || fail "the saver's name"
[ "$(xmllint --xpath 'string(/screensaver/@gl)' "$xml")" = yes ] || fail "the saver's gl"
[ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = --root ] ||
    fail "the saver's command"

[ "$(env -u DISPLAY "$usr/bin/zorvik" --version)" = "zorvik $version" ] ||
    fail "the installed zorvik --version does not say zorvik $version"

# Every control of the saver's settings passes an option the program has.
help=$(env -u DISPLAY "$usr/bin/zorvik" --help)
for arg in $(xmllint --xpath '//@arg | //@arg-set | //@arg-unset' "$xml" |
    grep -oE -- '--[a-z-]+' | sort -u); do
    grep -q -- "  $arg[ =]" <<<"$help" ||
        fail "zorvik.xml passes $arg, which zorvik --help does not list"
done

for page in man6/zorvik.6.gz man1/zorvik-capture.1.gz; do
    text=$(MANWIDTH=80 man --warnings -l "$usr/share/man/$page" 2>"$work/man.err") ||
        fail "man cannot render $page"
    # The page documents every option that the program's --help lists (looked for in the page's
    # source, where no line break can hyphenate an option's name).
    source=$(zcat "$usr/share/man/$page" | sed 's/\\-/-/g')
    program=$(basename "$page" | sed -E 's/\.[0-9]\.gz$//')
    for option in $(env -u DISPLAY "$usr/bin/$program" --help | grep -oE -- '(^|[ ,])--[a-z-]+' |
        grep -oE -- '--[a-z-]+' | sort -u); do
        grep -q -- "$option" <<<"$source" || fail "$page does not document $option"
    done
    [ ! -s "$work/man.err" ] || fail "man warns about $page: $(cat "$work/man.err")"
    for section in NAME SYNOPSIS OPTIONS "EXIT STATUS" EXAMPLES; do
        grep -q "^$section" <<<"$text" || fail "$page has no $section section"
    done
    grep -q "zorvik $version" <<<"$text" || fail "$page does not name version $version"
done

echo "--- cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null
deb=$work/pkg/zorvik_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$work/pkg")"
packed=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort)
if [ "$packed" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$packed") >&2 || true
    fail "the package's files are not the installed ones (< expected, > packed)"
fi
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = zorvik ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = x11 ] || fail "Section: $(field Section)"
[ "$(field Suggests)" = xscreensaver ] || fail "Suggests: $(field Suggests)"
depends=$(field Depends)
echo "Depends: $depends"
for package in libsdl2-2.0-0 libpng16-16 libgl1 libegl1 libopengl0 libglu1-mesa libc6; do
    grep -Eq "(^|, |\| )$package( |,|$)" <<<"$depends" || fail "Depends does not name $package"
done
# A description of several lines, none too long for Debian's tools.
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 5 ] || fail "the description is too short: $description"
[ -z "$(awk 'length > 80' <<<"$description")" ] || fail "a description line is over 80 characters"

# The licence, in Debian's machine-readable form, which lintian reads too.
copyright=$root/usr/share/doc/zorvik/copyright
grep -qx "License: Expat" "$copyright" && grep -qx "Copyright: 2026 The zorvik authors" "$copyright" ||
    fail "the installed copyright does not give the MIT (Expat) licence of The zorvik authors"

echo "--- lintian"
status=0
lintian --fail-on error --no-tag-display-limit "$deb" || status=$?
[ $status -eq 0 ] || fail "lintian reports errors, or could not check the package (exit $status)"
echo "install and package: ok"
