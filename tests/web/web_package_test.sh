#!/usr/bin/env bash
# The browser package, checked from the outside: `cpack` makes zorvik-VERSION-web.zip holding
# exactly the page, the program in both forms, the README and the licence; the README names every
# parameter; and the page opened from the unpacked files draws the city.
# Usage: web_package_test.sh BUILD_DIR VERSION NODE_PREFIX
set -euo pipefail
build=$1
version=$2
node_prefix=$3

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
expected=$(printf '%s\n' "$top/LICENSE.txt" "$top/README.txt" "$top/index.html" \
    "$top/zorvik-wasm.js" "$top/zorvik.js" "$top/zorvik.wasm")
[ "$listed" = "$expected" ] || fail "the archive holds: $listed"
echo "archive: $(basename "$zip"), $(stat -c %s "$zip") bytes"

(cd "$work" && cmake -E tar xf "$zip")
for says in seed= pace= fps= stats= size= stop= F1 index.html; do
    grep -q "$says" "$work/$top/README.txt" || fail "README.txt does not mention $says"
done
# The script form carries the same program as the .wasm.
sed -e 's/^var zorvikWasm = "//' -e 's/";$//' "$work/$top/zorvik-wasm.js" | base64 -d |
    cmp -s - "$work/$top/zorvik.wasm" || fail "zorvik-wasm.js is not zorvik.wasm"

node "$(dirname "$0")/web_test.mjs" file "$work/$top" "$node_prefix"
