#!/usr/bin/env bash
# Builds zorvik for Linux and starts the animation (Esc quits, F1 switches full screen/window).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh run
cmake --preset linux >/dev/null
cmake --build --preset linux --target zorvik
exec ./build/linux/zorvik
