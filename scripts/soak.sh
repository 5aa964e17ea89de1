#!/usr/bin/env bash
# The long soak run (not part of CI, which runs a short variant): ten million frames of the whole
# scene's per-frame steps on the CPU, then ten thousand rendered headless frames at 160 x 90, with
# every object's invariants checked and memory use required to stay flat. About five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset linux >/dev/null
cmake --build --preset linux --target zorvik-soak
exec ./build/linux/zorvik-soak --cpu-frames 10000000 --render-frames 10000
