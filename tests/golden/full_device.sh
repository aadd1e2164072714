#!/bin/sh
# Output that cannot be written is a failure: full_device.sh <zerk> <input file>
zerk=$1
input=$2
fail() { echo "FAIL: $*"; exit 1; }

"$zerk" -r <"$input" >/dev/full 2>/tmp/velmora_full_err.$$
status=$?
err=$(cat /tmp/velmora_full_err.$$)
rm -f /tmp/velmora_full_err.$$
[ "$status" -eq 1 ] || fail "-r to a full device exited $status, expected 1"
[ -z "$err" ] || fail "-r to a full device wrote to standard error: $err"

err=$("$zerk" -l <"$input" 2>&1 >/dev/full)
status=$?
expected="matrix error: matrix::output error
matrix error: matrix::output error
matrix error: matrix::output error
matrix error: vector::output error"
[ "$status" -eq 1 ] || fail "-l to a full device exited $status, expected 1"
[ "$err" = "$expected" ] || fail "-l to a full device reported: $err"
echo "ok"
