#!/usr/bin/env bash
# Runs one end-to-end case: run_case.sh CASE PROGRAM [wine]. CASE names a file in cases/, which
# is run with lib.sh's helpers; "wine" runs PROGRAM, a Windows executable, under Wine with a
# private prefix, booted once and kept in the current folder for the next run.
set -uo pipefail
case_name=$1
program=$2
use_wine=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
[ -f "$here/cases/$case_name.sh" ] || { echo "no case $case_name" >&2 && exit 2; }
source "$here/lib.sh"
source "$here/cases/$case_name.sh"
echo "passed: $case_name${use_wine:+ (wine)}"
