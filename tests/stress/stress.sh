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

# Under memory limits (ulimit -v, in kB) every run either prints the complete output
# (that of the run without a limit) with status 0 and nothing on standard error, or ends
# with a library report and status 1: never a shortened output passed off as a success,
# never an escaped exception (status 134). A limit below what the dynamic loader needs
# ends the process before it starts (status 127, with the loader's own message on
# standard error); such runs are only counted.
# not_loaded <status>: true when the run at that status, its standard error in
# $scratch/err, was refused by the dynamic loader (mapping a library, allocating its
# own structures) before the program started.
not_loaded() {
  [ "$1" -eq 127 ] && grep -q -e 'error while loading shared libraries' \
    -e '^cannot allocate TLS data structures for initial thread$' -e '^out of memory$' "$scratch/err"
}

# limited <label> <measure> <program> <input> <limits> <args...>; measure is cksum or
# "wc -c" (for outputs of many gigabytes).
limited() {
  label=$1; summary=$2; program=$3; input=$4; run_limits=$5; shift 5
  expected=$("$bin/$program" "$@" <"$input" 2>/dev/null | $summary)
  complete=0; reported=0; unstarted=0
  for limit in $run_limits; do
    got=$( (ulimit -v "$limit"; "$bin/$program" "$@" <"$input" 2>"$scratch/err"; echo $? >"$scratch/status") | $summary)
    status=$(cat "$scratch/status")
    if not_loaded "$status"; then
      unstarted=$((unstarted + 1))
    elif [ "$status" -eq 0 ]; then
      complete=$((complete + 1))
      [ "$got" = "$expected" ] || fail "$label, ulimit -v $limit: status 0 with output $got, expected $expected"
      [ -s "$scratch/err" ] && fail "$label, ulimit -v $limit: status 0 with reports $(head -c 200 "$scratch/err")"
    elif [ "$status" -eq 1 ]; then
      reported=$((reported + 1))
      if grep -v -e '^matrix error: ' -e '^Big arith error: ' -e '^Big arith fatal error: $' \
           -e '^ the heap overflow$' -e '^ vector is not correct$' -e '^ matrix is not correct$' \
           "$scratch/err" | grep -q .; then
        fail "$label, ulimit -v $limit: not a library report: $(head -c 200 "$scratch/err")"
      fi
      grep -q -e '^ the heap overflow$' -e 'out of memory' "$scratch/err" ||
        fail "$label, ulimit -v $limit: status 1 without a memory report: $(head -c 200 "$scratch/err")"
    else
      fail "$label, ulimit -v $limit: status $status $(head -c 200 "$scratch/err")"
    fi
  done
  printf '%-44s %3d complete, %3d reported, %3d not started\n' "$label" $complete $reported $unstarted
  [ "$complete" -gt 0 ] || fail "$label: no limit let the run complete"
  [ "$reported" -gt 0 ] || fail "$label: no limit was tight enough for a report"
}

limits=$(seq 5700 300 12000)
digits() { tr -dc '0-9' </dev/urandom | head -c "$1"; }
{ printf '1 2\n1 -7'; digits 523999; printf '/3\n'; } >"$scratch/long_fraction.in"
{ printf '1 2\n1 -7'; digits 523999; printf '\n'; } >"$scratch/long_integer.in"
{ printf '2 2\n7'; digits 199999; printf ' 1\n2 3'; digits 199999; printf '\n'; } >"$scratch/two_long.in"
# A 1-by-9998 table whose entry of 220,000 digits makes frame lines longer than 2^31 bytes.
{ printf '1 9998\n1 7'; digits 219999; i=2; while [ $i -lt 9998 ]; do printf ' 0'; i=$((i + 1)); done
  printf '\n'; } >"$scratch/wide.in"
limited "zerk -b, a fraction of 524,000 digits" cksum zerk "$scratch/long_fraction.in" "$limits" -b
limited "zerk -m -b, a fraction of 524,000 digits" cksum zerk "$scratch/long_fraction.in" "$limits" -m -b
limited "zerkint -b, an entry of 524,000 digits" cksum zerkint "$scratch/long_integer.in" "$limits" -b
limited "zerkint -m -b, an entry of 524,000 digits" cksum zerkint "$scratch/long_integer.in" "$limits" -m -b
for program in zerk zerkint; do
  limited "$program -d, two entries of 200,000 digits" cksum $program "$scratch/two_long.in" "$limits" -d
  limited "$program -m -d, two entries of 200,000 digits" cksum $program "$scratch/two_long.in" "$limits" -m -d
  limited "$program -b, 1 by 9998 wide" cksum $program "$scratch/wide.in" "$limits" -b
  limited "$program -m -b, 1 by 9998 wide (13 GB)" "wc -c" $program "$scratch/wide.in" "5700 6300 6900 8000 10000" -m -b
done

# The program start under the tightest limits: from the lowest limit the loader accepts
# (found by bisection, since it moves with the system's libraries) up 1 MB in 32 kB
# steps, a 1-by-1 matrix. The standard streams get their buffers before anything else,
# with too little memory left even for an exception.
printf '1 1\n5\n' >"$scratch/one.in"
# loaded <program> <limit>: true when the loader starts the program under ulimit -v limit.
loaded() {
  (ulimit -v "$2"; "$bin/$1" -b <"$scratch/one.in" >/dev/null 2>"$scratch/err"; echo $? >"$scratch/status")
  ! not_loaded "$(cat "$scratch/status")"
}
for program in zerk zerkint; do
  refused=0; accepted=65536
  loaded $program $accepted || { fail "$program: not started under ulimit -v $accepted"; continue; }
  while [ $((accepted - refused)) -gt 1 ]; do
    middle=$(((refused + accepted) / 2))
    if loaded $program $middle; then accepted=$middle; else refused=$middle; fi
  done
  limited "$program -b, 1 by 1 from $accepted kB" cksum $program "$scratch/one.in" \
    "$(seq $accepted 32 $((accepted + 1024)))" -b
done

[ "$failed" -eq 0 ] && echo "stress: all passed"
exit $failed
