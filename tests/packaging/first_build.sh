#!/usr/bin/env bash
# A first build on a machine without GoogleTest: the configuration succeeds, says in one
# line that the tests are skipped and how to install GoogleTest, leaves the marker that
# make test reads, and still has both programs to build.
# Usage: first_build.sh CMAKE SOURCE_DIR SCRATCH_DIR
set -u
cmake=$1 source=$2 scratch=$3
rm -rf "$scratch"
if ! "$cmake" -S "$source" -B "$scratch" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
     >"$scratch.out" 2>"$scratch.err"; then
  echo "FAIL: configuring without GoogleTest failed:"; cat "$scratch.err"; exit 1
fi
status=0
notice=$(grep -c 'GoogleTest' "$scratch.err")
[ "$notice" -eq 1 ] || { echo "FAIL: $notice lines about GoogleTest:"; cat "$scratch.err"; status=1; }
grep -q 'GoogleTest not found: the tests are skipped (install it with: apt-get install libgtest-dev)' \
  "$scratch.err" || { echo "FAIL: no line on the skipped tests"; status=1; }
[ -f "$scratch/tests-skipped" ] || { echo "FAIL: no tests-skipped marker"; status=1; }
targets=$("$cmake" --build "$scratch" --target help)
for program in zerk zerkint; do
  grep -qx "\.\.\. $program" <<<"$targets" || { echo "FAIL: no target $program"; status=1; }
done
grep -q '^\.\.\. [a-z_]*_tests$' <<<"$targets" && { echo "FAIL: test targets configured"; status=1; }
rm -rf "$scratch" "$scratch.out" "$scratch.err"
exit $status
