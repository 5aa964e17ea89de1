#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh CASE PROGRAM [wine|wayland]. CASE names a file in cases/,
# which is run with the helpers of lib.sh and of one display's file: without a third argument
# x11.sh, the native PROGRAM on a private Xvfb; "wine" wine.sh, PROGRAM a Windows executable under
# Wine with a private prefix, booted once and kept in the current folder for the next run;
# "wayland" wayland.sh, the native PROGRAM on a headless sway. $use_wine and $use_wayland tell a
# case which display it runs on.
set -uo pipefail
case_name=$1
program=$2
tag=${3:-}
use_wine="" use_wayland=""
case $tag in
"") display=x11 ;;
wine) display=wine use_wine=wine ;;
wayland) display=wayland use_wayland=wayland ;;
*) echo "no display $tag" >&2 && exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$here/cases/$case_name.sh" ] || { echo "no case $case_name" >&2 && exit 2; }
source "$here/lib.sh"
source "$here/$display.sh"
source "$here/cases/$case_name.sh"
echo "passed: $case_name${tag:+ ($tag)}"
