#!/usr/bin/env bash
# The Windows archive, checked from the outside: `cpack` makes one ZIP holding exactly the program,
# the screen saver (the same bytes under the saver's name), the README and the licence, and the program
# carries its icon in every size, its version information and its manifest.
# Usage: windows_archive_test.sh BUILD_DIR VERSION OBJDUMP
set -euo pipefail
build=$1
version=$2
objdump=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
zips=("$work"/zorvik-"$version"-win*.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "not one archive: $(ls "$work")"
zip=${zips[0]}
top=$(basename "$zip" .zip)
echo "archive: $(basename "$zip")"

listed=$(cmake -E tar tf "$zip" | LC_ALL=C sort)
expected=$(printf '%s\n' "$top/LICENSE.txt" "$top/README.txt" "$top/zorvik.exe" "$top/zorvik.scr")
[ "$listed" = "$expected" ] || fail "the archive holds: $listed"

(cd "$work" && cmake -E tar xf "$zip")
exe=$work/$top/zorvik.exe
cmp -s "$exe" "$work/$top/zorvik.scr" || fail "zorvik.scr is not the same program as zorvik.exe"
for text in README.txt LICENSE.txt; do
    grep -q $'\r$' "$work/$top/$text" || fail "$text does not have Windows line ends"
done
grep -q "^MIT License" "$work/$top/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
for says in zorvik.scr Install System32 Esc F1 LICENSE.txt; do
    grep -q "$says" "$work/$top/README.txt" || fail "README.txt does not mention $says"
done

# The resource types at the top of the tree: icon 3, string 6, group icon 14 (0xe),
# version 16 (0x10), manifest 24 (0x18).
types=$("$objdump" -p "$exe" | sed -n '/The .rsrc Resource Directory section/,$p' |
    sed -nE 's/^[0-9a-f]{3}   Entry: ID: 0x0*([0-9a-f]+),.*/\1/p' | tr '\n' ' ')
echo "resource types: $types"
for type in 3 6 e 10 18; do
    grep -qw "$type" <<<"$types" || fail "no resource of type 0x$type in zorvik.exe"
done

wrestool -x -t 14 "$exe" >"$work/group.ico" || fail "wrestool cannot take the icon out"
sizes=$(icotool -l "$work/group.ico" | sed -nE 's/.*--width=([0-9]+) --height=\1 .*/\1/p' |
    tr '\n' ' ')
[ "$sizes" = "16 32 48 256 " ] || fail "the icon's sizes are '$sizes'"

strings -el "$exe" >"$work/strings"
value() { grep -A1 -x "$1" "$work/strings" | sed -n 2p; }
[ "$(value ProductName)" = Zorvik ] || fail "ProductName: $(value ProductName)"
[ "$(value ProductVersion)" = "$version" ] || fail "ProductVersion: $(value ProductVersion)"
[ "$(value FileVersion)" = "$version" ] || fail "FileVersion: $(value FileVersion)"
[ -n "$(value FileDescription)" ] || fail "no FileDescription"
strings "$exe" >"$work/text"
grep -q ">PerMonitorV2, PerMonitor<" "$work/text" || fail "the manifest asks for no per-monitor DPI"
grep -q ">true/pm<" "$work/text" || fail "the manifest has no dpiAware fallback"
echo "windows archive: ok"
