#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh CASE PROGRAM [wine]. CASE names a file in cases/, which
# is run with lib.sh's helpers; "wine" runs PROGRAM, a Windows executable, under Wine with a
# private prefix, booted once and kept in the current folder for the next run; "wayland" runs it on
# a headless sway (wayland.sh).
set -uo pipefail
case_name=$1
program=$2
use_wine="" use_wayland=""
case ${3:-} in
wine) use_wine=wine ;;
wayland) use_wayland=wayland ;;
esac
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$here/cases/$case_name.sh" ] || { echo "no case $case_name" >&2 && exit 2; }
source "$here/lib.sh"
[ -z "$use_wayland" ] || source "$here/wayland.sh"
source "$here/cases/$case_name.sh"
echo "passed: $case_name${3:+ ($3)}"
