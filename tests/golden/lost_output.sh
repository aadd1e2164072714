#!/bin/sh
# Output that cannot be written is a failure, on a full device and on a closed
# standard output: lost_output.sh <program> <input file>
program=$1
input=$2
fail() { echo "FAIL: $*"; exit 1; }
all_reports="matrix error: matrix::output error
matrix error: matrix::output error
matrix error: matrix::output error
matrix error: vector::output error"

err=$("$program" -r <"$input" 2>&1 >/dev/full)
status=$?
[ "$status" -eq 1 ] || fail "-r to a full device exited $status, expected 1"
[ -z "$err" ] || fail "-r to a full device wrote to standard error: $err"

err=$("$program" -l <"$input" 2>&1 >/dev/full)
status=$?
[ "$status" -eq 1 ] || fail "-l to a full device exited $status, expected 1"
[ "$err" = "$all_reports" ] || fail "-l to a full device reported: $err"

err=$("$program" -r <"$input" 2>&1 >&-)
status=$?
[ "$status" -eq 1 ] || fail "-r to a closed output exited $status, expected 1"
[ -z "$err" ] || fail "-r to a closed output wrote to standard error: $err"

err=$("$program" -l <"$input" 2>&1 >&-)
status=$?
[ "$status" -eq 1 ] || fail "-l to a closed output exited $status, expected 1"
[ "$err" = "$all_reports" ] || fail "-l to a closed output reported: $err"
# Help and version succeed only when their text was written.
for option in -h -v; do
  err=$("$program" $option 2>&1 >/dev/full)
  status=$?
  [ "$status" -eq 1 ] || fail "$option to a full device exited $status, expected 1"
  [ -z "$err" ] || fail "$option to a full device wrote to standard error: $err"
  err=$("$program" $option 2>&1 >&-)
  status=$?
  [ "$status" -eq 1 ] || fail "$option to a closed output exited $status, expected 1"
  "$program" $option >/dev/null || fail "$option to /dev/null exited $?, expected 0"
done
echo "ok"
