#!/bin/sh
# The LaTeX documents of --latex, on the bundled examples and on inputs shaped for the
# edges (no columns, no rows, a zero matrix, wide, tall and long ones), with and without
# the movie: latex_document.sh numbers|compile <zerk> <zerkint> <source root>
#   numbers: every number of the document, in order, is the plain output's (without
#            the row and column counts that only the plain form writes).
#   compile: pdflatex makes every document without an error, an overfull or
#            underfull box or a LaTeX warning; exits 77 with one line without pdflatex.
mode=$1
zerk=$2
zerkint=$3
root=$4
fail() { echo "FAIL: $*"; status=1; }
status=0

if [ "$mode" = compile ] && ! command -v pdflatex >/dev/null; then
  echo "SKIPPED: pdflatex is not installed, the LaTeX documents are not compiled (apt-get install texlive-latex-base)."
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inputs for both programs, then those with fractions for zerk alone.
printf '0 0\n' >"$work/empty.in"
printf '2 0\n' >"$work/no_columns.in"
printf '0 3\n' >"$work/no_rows.in"
printf '2 3\n0 0 0\n0 0 0\n' >"$work/zero.in"
printf '1 1\n-2\n' >"$work/negative.in"
# Eight columns of three-digit entries: with Q beside it, sixteen columns.
printf '8 8\n' >"$work/eight.in"
for i in 1 2 3 4 5 6 7 8; do
  for j in 1 2 3 4 5 6 7 8; do printf '%d ' $(( (i * 37 + j * j * 11) % 199 - 99 )); done
  echo
done >>"$work/eight.in"
# A column taller than a page.
{ echo "60 1"; seq 60; } >"$work/tall.in"
# A determinant far longer than a line.
printf '2 2\n%s 1\n1 %s\n' "$(printf '9%.0s' $(seq 150))" "$(printf '7%.0s' $(seq 150))" >"$work/long.in"
both="$work/empty.in $work/no_columns.in $work/no_rows.in $work/zero.in $work/negative.in $work/eight.in
      $work/tall.in $work/long.in $root/examples/two_by_two.in $root/examples/integer_2x3.in
      $root/examples/three_by_three.in $root/examples/rank_deficient.in $root/examples/larger_10x12.in"
fractions="$root/examples/demo.in $root/examples/hilbert5.in"

# The numbers of plain output, without the count lines under the labels of the
# matrices and of the basis.
plain_numbers() {
  awk 'counts { counts = 0; next } /^!(a|b|q|basis):$/ { counts = 1 } { print }' |
    LC_ALL=C grep -oE -- '-?[0-9]+(/[0-9]+)?'
}

# The numbers of a document's body, without the sizes of empty matrices.
latex_numbers() {
  sed -e '1,/^\\begin{document}$/d' -e 's/_{[0-9]* \\times [0-9]*}//' |
    LC_ALL=C grep -oE -- '-?[0-9]+(/[0-9]+)?'
}

check() {
  program=$1
  input=$2
  shift 2
  name="$(basename "$program") $* <$(basename "$input")"
  doc="$work/doc.tex"
  "$program" "$@" --latex <"$input" >"$doc" 2>"$work/err"
  run_status=$?
  [ $run_status -eq 0 ] || { fail "$name --latex exited $run_status: $(cat "$work/err")"; return; }
  [ "$(head -n 1 "$doc")" = '\documentclass{article}' ] || fail "$name --latex: no \\documentclass line"
  [ "$(tail -n 1 "$doc")" = '\end{document}' ] || fail "$name --latex: no \\end{document} line"
  case $mode in
  numbers)
    "$program" "$@" <"$input" | plain_numbers >"$work/plain"
    latex_numbers <"$doc" >"$work/latex"
    [ -s "$work/plain" ] || fail "$name: no numbers in the plain output"
    cmp -s "$work/plain" "$work/latex" ||
      fail "$name: the numbers differ from the plain output's: $(diff "$work/plain" "$work/latex" | head -n 5)"
    ;;
  compile)
    (cd "$work" && pdflatex -interaction=nonstopmode -halt-on-error doc.tex >/dev/null 2>&1) ||
      { fail "$name: pdflatex failed: $(grep -A 3 '^!' "$work/doc.log" | head -n 8)"; return; }
    problems=$(grep -E 'Overfull|Underfull|LaTeX Warning|Missing character' "$work/doc.log")
    [ -z "$problems" ] || fail "$name: $problems"
    ;;
  esac
}

# Every result but the time, which two runs need not agree on.
results="-a -b -q -r -d -i"
for input in $both; do
  for program in "$zerk" "$zerkint"; do
    check "$program" "$input" $results -m
    [ "$mode" = numbers ] && check "$program" "$input" -s -d
  done
done
for input in $fractions; do
  check "$zerk" "$input" $results -m
done
[ $status -eq 0 ] && echo "ok"
exit $status
