#!/usr/bin/env bash
# The browser package, checked from the outside: `cpack` makes zorvik-VERSION-web.zip holding
# exactly the page, the program in both forms, the wallpaper programs' and the app's files, the
# README and the licence; the README names every parameter and host; the program that users get
# has none of the test build's switches; the page opened from the unpacked files draws the city,
# and the wallpaper programs' hooks work on it, opened from a file and served.
# Usage: web_package_test.sh BUILD_DIR VERSION NODE_PREFIX ZORVIK_CAPTURE
set -euo pipefail
build=$1
version=$2
node_prefix=$3
capture=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
zip=$work/zorvik-$version-web.zip
[ -f "$zip" ] || fail "no $(basename "$zip"): $(ls "$work")"
top=zorvik-$version-web
listed=$(cmake -E tar tf "$zip" | LC_ALL=C sort)
expected=$(printf "$top/%s\n" LICENSE.txt LivelyInfo.json LivelyProperties.json README.txt \
    hosts.js index.html manifest.webmanifest preview.png project.json sw.js zorvik-192.png \
    zorvik-512.png zorvik-wasm.js zorvik.js zorvik.wasm | LC_ALL=C sort)
[ "$listed" = "$expected" ] || fail "the archive holds: $listed"
echo "archive: $(basename "$zip"), $(stat -c %s "$zip") bytes"

(cd "$work" && cmake -E tar xf "$zip")
for says in seed= pace= fps= stats= size= stop= maxfps= awake= F1 index.html LivelyInfo.json \
    project.json "Wallpaper Engine" KDE "file:///"; do
    grep -q "$says" "$work/$top/README.txt" || fail "README.txt does not mention $says"
done
# The script form carries the same program as the .wasm.
sed -e 's/^var zorvikWasm = "//' -e 's/";$//' "$work/$top/zorvik-wasm.js" | base64 -d |
    cmp -s - "$work/$top/zorvik.wasm" || fail "zorvik-wasm.js is not zorvik.wasm"

# The test build's switches, there to be found, and absent from the program that users get.
grep -a -q -w fault "$build/test-site/zorvik.wasm" || fail "the test build has no fault= switch"
found=$(cat "$work/$top/zorvik.js" "$work/$top/zorvik.wasm" | grep -a -o -w -E 'fault|light[0-3]' | sort -u || true)
[ -z "$found" ] || fail "the program that users get holds test switches: $found"

node "$(dirname "$0")/web_test.mjs" file "$work/$top" "$node_prefix"
node "$(dirname "$0")/web_test.mjs" hosts "$work/$top" "$node_prefix" "$capture"
