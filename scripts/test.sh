#!/usr/bin/env bash
# Builds every preset (linux, asan, windows-x64, windows-x86, web) and runs every test: unit tests,
# OpenGL tests on a headless context, end-to-end runs under Xvfb, the Windows x64 tests under
# Wine, and the browser build in headless Chromium (its frames compared with the linux build's).
# Of the windows-x86 build only the package is checked: this machine's kernel cannot execute 32-bit
# x86 code.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

for preset in linux asan windows-x64 windows-x86 web; do
    echo "=== build: $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

# Wine: one private prefix for the windows-x64 unit tests, booted once and kept warm by a
# persistent server, so that each test starts in about half a second instead of three.
prefix="$PWD/build/windows-x64/wineprefix"
export WINEDEBUG=-all
mkdir -p "$prefix"
WINEPREFIX="$prefix" wineserver -p
WINEPREFIX="$prefix" wine wineboot -u >/dev/null 2>&1 || true
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true' EXIT

passed=0
failed=0
status=0
for preset in linux asan windows-x64 windows-x86 web; do
    echo "=== test: $preset"
    log="build/$preset/ctest.log"
    if ! ctest --preset "$preset" 2>&1 | tee "$log"; then
        status=1
    fi
    # How long things took: printed by the tests, never held against them.
    grep -h '^benchmark:' "build/$preset/Testing/Temporary/LastTest.log" 2>/dev/null || true
    summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ]; then
        echo "no test summary for $preset" >&2
        status=1
        continue
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
done
echo "tests: $passed passed, $failed failed"
exit $status
