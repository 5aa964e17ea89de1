#!/usr/bin/env bash
# Installs the Debian packages that building (and, with "test", testing) zorvik needs.
# Usage: scripts/deps.sh run|test
# As root it installs what is missing with apt-get; otherwise it prints the exact command and fails.
set -euo pipefail

# The build configures the tests too, so GoogleTest is needed even just to run the animation.
run_packages=(
    cmake ninja-build g++ pkg-config libgtest-dev
    libsdl2-dev libxrandr-dev libxext-dev libwayland-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0 libpng-dev
)
test_packages=(
    "${run_packages[@]}"
    googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
    wine wine64
    xvfb xfonts-base x11-utils xdotool imagemagick xscreensaver openbox xcompmgr
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    valgrind clang libclang-rt-14-dev clang-format procps
    icoutils desktop-file-utils libxml2-utils man-db lintian dpkg-dev file
    ffmpeg
    sway wtype grim swayidle jq
    emscripten chromium
)

case "${1:-}" in
run) wanted=("${run_packages[@]}") ;;
test) wanted=("${test_packages[@]}") ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

# The browser tests install playwright-core with npm. Machines with their own Node.js (whose npm
# comes with it) must not get Debian's, which would replace it.
if [ "${1:-}" = test ] && ! command -v npm >/dev/null; then
    wanted+=(npm)
fi

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "zorvik needs these Debian packages. Install them as root, then run this again:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
