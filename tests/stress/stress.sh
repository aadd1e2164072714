#!/bin/sh
# Heavy inputs, too slow for the test suites: stress.sh <directory of zerk and zerkint>
# Prints the wall time and peak memory of every run and fails on a wrong result.
bin=$1
scratch=$(mktemp -d /tmp/velmora_stress.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# measure <label> <program> <input> <args...>: runs it, output to $scratch/out and
# $scratch/err, status to $status; prints seconds and max RSS.
measure() {
  label=$1; program=$2; input=$3; shift 3
  /usr/bin/time -f "%e %M" -o "$scratch/time" "$bin/$program" "$@" <"$input" >"$scratch/out" 2>"$scratch/err"
  status=$?
  # time writes a "Command exited with non-zero status" line before its figures
  # when the status is not 0; the figures are on the last line.
  read -r seconds kb <<TIME
$(tail -n 1 "$scratch/time")
TIME
  printf '%-44s %8s s %10s kB peak  status %s\n' "$label" "$seconds" "$kb" "$status"
  case "$kb" in
    '' | *[!0-9]*) fail "$label: no peak memory figure" ;;
    *) [ "$kb" -le 8000000 ] || fail "$label: peak memory $kb kB is above 8 GB" ;;
  esac
}

reports="matrix error: matrix::operator >> : input error
matrix error: matrix::operator= :can't assign matrix
matrix error: matrix::operator= :can't assign matrix"

# The size line of the largest matrix and nothing else: the input error, then the
# results of the 9998-by-9998 zero matrix.
printf '9998 9998\n' >"$scratch/huge.in"
for program in zerk zerkint; do
  measure "$program -r -d, 9998 by 9998 without entries" $program "$scratch/huge.in" -r -d
  [ "$status" -eq 1 ] || fail "$program -r -d: status $status"
  [ "$(cat "$scratch/err")" = "$reports" ] || fail "$program -r -d: reports $(head -c 300 "$scratch/err")"
  [ "$(cat "$scratch/out")" = "$(printf '!rank =\n0\n!det =\n0')" ] || fail "$program -r -d: output $(head -c 100 "$scratch/out")"

  measure "$program, 9998 by 9998 without entries" $program "$scratch/huge.in"
  [ "$status" -eq 1 ] || fail "$program: status $status"
  [ "$(cat "$scratch/err")" = "$reports" ] || fail "$program: reports"
  [ "$(head -n 1 "$scratch/out")" = "9998 9998" ] || fail "$program: size line"
  [ "$(wc -c <"$scratch/out")" -eq $((10 + 9998 * 19997)) ] || fail "$program: output size"
  [ "$(tail -n +2 "$scratch/out" | tr -d '0\t\n' | wc -c)" -eq 0 ] || fail "$program: entries not all 0"
done

# One entry of a million decimal digits reads and prints back exactly.
{ printf '1 1\n7'; tr -dc '0-9' </dev/urandom | head -c 999999; printf '\n'; } >"$scratch/digits.in"
{ printf '1 1\n'; tail -n 1 "$scratch/digits.in" | tr -d '\n'; printf '\t\n'; } >"$scratch/digits.expected"
for program in zerk zerkint; do
  measure "$program -a, one entry of 1,000,000 digits" $program "$scratch/digits.in" -a
  [ "$status" -eq 0 ] || fail "$program -a: status $status"
  cmp -s "$scratch/out" "$scratch/digits.expected" || fail "$program -a: the digits did not print back"
done
{ printf '1 1\n-'; tail -n 1 "$scratch/digits.in" | tr -d '\n'; printf '/3\n'; } >"$scratch/fraction.in"
measure "zerk -b, a million-digit numerator over 3" zerk "$scratch/fraction.in" -b
[ "$status" -eq 0 ] && [ "$(cat "$scratch/out")" = "$(printf '1 1\n1\t')" ] || fail "zerk -b of a huge fraction"

[ "$failed" -eq 0 ] && echo "stress: all passed"
exit $failed
