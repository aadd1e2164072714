#!/bin/sh
# The LaTeX documents of --latex, on the bundled examples and on inputs shaped for the
# edges (no columns, no rows, a zero matrix, wide, tall and long ones, an input error),
# with and without the movie: latex_document.sh numbers|compile <zerk> <zerkint> <source root>
#   numbers: every number of the document, in order, is the plain output's (without
#            the row and column counts that only the plain form writes, and without what
#            only the document writes: row operations, the pivot's own table, the lines
#            that say how a table is split and what det is). A document with a split
#            table has its numbers in another order, and is compared as a sorted list.
#   compile: pdflatex makes every document, and every fragment \input into a minimal
#            article, without an error, an overfull or underfull box or a LaTeX warning,
#            and no text of the PDF is below 7 pt (words of letters or digits less than
#            6.1 pt high in pdftotext -bbox, which gives 7 pt text a height of 6.19);
#            exits 77 with one line without pdflatex or pdftotext.
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
if [ "$mode" = compile ] && ! command -v pdftotext >/dev/null; then
  echo "SKIPPED: pdftotext is not installed, the LaTeX documents are not compiled (apt-get install poppler-utils)."
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
# An input error: the document shows the reports.
printf '2 2\n1 x\n' >"$work/input_error.in"
# Rows (1, 2, 0) and (-3, -6, 1): an exchange, a negated pivot row, a combination divided
# by its content.
printf '2 3\n1 2 0\n-3 -6 1\n' >"$work/notes.in"
# Five rows of fourteen fractions of four to six digits: tables split in column and row
# blocks from the first step on.
awk 'BEGIN { print "5 14"; for (i = 1; i <= 5; ++i) { line = "";
             for (j = 1; j <= 14; ++j) line = line sprintf("%d/%d ", (i * 7919 + j * 104729) % 99000 - 49000 + (i + j) % 2,
                                                        (i * 15485863 + j * 32452843) % 990000 + 1000);
             print line } }' >"$work/wide_fractions.in"
# Twelve rows of twelve two-digit integers.
awk 'BEGIN { print "12 12"; for (i = 1; i <= 12; ++i) { line = "";
             for (j = 1; j <= 12; ++j) line = line sprintf("%d ", (i * 31 + j * j * 17 + i * j) % 199 - 99);
             print line } }' >"$work/twelve.in"
both="$work/input_error.in $work/notes.in $work/twelve.in $work/empty.in $work/no_columns.in $work/no_rows.in $work/zero.in $work/negative.in $work/eight.in
      $work/tall.in $work/long.in $root/examples/two_by_two.in $root/examples/integer_2x3.in
      $root/examples/three_by_three.in $root/examples/rank_deficient.in $root/examples/larger_10x12.in"
fractions="$root/examples/demo.in $root/examples/hilbert5.in $work/wide_fractions.in"

# The numbers of plain output, without the count lines under the labels of the
# matrices and of the basis.
plain_numbers() {
  awk 'counts { counts = 0; next } /^!(a|b|q|basis):$/ { counts = 1 } { print }' |
    LC_ALL=C grep -oE -- '-?[0-9]+(/[0-9]+)?'
}

# The numbers of a document's body, without the sizes of empty matrices and without what
# plain output does not have; fractions as n/d, the pieces of a long number joined.
latex_numbers() {
  sed -e '1,/^\\begin{document}$/d' |
    awk 'reports { if (/^\}\}/) reports = 0; next }
         /^\\par\\medskip\\noindent\\fbox/ { reports = 1; next }
         skip { if (/^\\end\{center\}/) skip = 0; next }
         pivot && /^\\begin\{center\}/ { skip = 1; next }
         pivot && /^This table is too large/ { next }
         { pivot = /^Pivot item: / }
         /^\\providecommand|^\\noindent \$R_|^This table is too large|^\\emph\{/ { next }
         { print }' |
    sed -e 's/_{[0-9]* \\times [0-9]*}//' -e 's/\\noalign{\\vskip [0-9]*pt}//' \
        -e 's/\\begin{array}{@{}r@{}}//g' -e 's/\([0-9]\)\\\\\([0-9]\)/\1\2/g' \
        -e 's/\([0-9]\)\\\\\([0-9]\)/\1\2/g' -e 's/\([0-9]\)\\end{array}/\1/g' \
        -e 's/\\dfrac{\([0-9]*\)}{\([0-9]*\)}/\1\/\2/g' |
    LC_ALL=C grep -oE -- '-?[0-9]+(/[0-9]+)?'
}

# The smallest height of the words of letters or digits in a PDF, in points.
smallest_text() {
  pdftotext -bbox "$1" - |
    awk -F'"' '/<word/ && /[0-9A-Za-z]<\/word>/ { h = $8 - $4; if (min == "" || h < min) min = h } END { print min }'
}

# Compiles $work/$2.tex and checks its log and the size of its text.
compile_tex() {
  (cd "$work" && pdflatex -interaction=nonstopmode -halt-on-error "$2.tex" >/dev/null 2>&1) ||
    { fail "$1: pdflatex failed: $(grep -A 3 '^!' "$work/$2.log" | head -n 8)"; return; }
  problems=$(grep -E 'Overfull|Underfull|LaTeX Warning|Missing character' "$work/$2.log")
  [ -z "$problems" ] || fail "$1: $problems"
  smallest=$(smallest_text "$work/$2.pdf")
  awk -v h="$smallest" 'BEGIN { exit !(h != "" && h + 0 >= 6.1) }' || fail "$1: text $smallest pt high in the PDF"
}

check() {
  program=$1
  input=$2
  shift 2
  name="$(basename "$program") $* <$(basename "$input")"
  doc="$work/doc.tex"
  "$program" "$@" --latex <"$input" >"$doc" 2>"$work/err"
  run_status=$?
  # An input error is reported, and the exit status says so.
  expected_status=0
  [ -s "$work/err" ] && expected_status=1
  [ $run_status -eq $expected_status ] || { fail "$name --latex exited $run_status: $(cat "$work/err")"; return; }
  [ "$(head -n 1 "$doc")" = '\documentclass{article}' ] || fail "$name --latex: no \\documentclass line"
  [ "$(tail -n 1 "$doc")" = '\end{document}' ] || fail "$name --latex: no \\end{document} line"
  case $mode in
  numbers)
    "$program" "$@" <"$input" 2>/dev/null | plain_numbers >"$work/plain"
    latex_numbers <"$doc" >"$work/latex"
    [ -s "$work/plain" ] || fail "$name: no numbers in the plain output"
    if grep -q '^This table is too large' "$doc"; then
      sort "$work/plain" >"$work/plain.sorted" && mv "$work/plain.sorted" "$work/plain"
      sort "$work/latex" >"$work/latex.sorted" && mv "$work/latex.sorted" "$work/latex"
    fi
    cmp -s "$work/plain" "$work/latex" ||
      fail "$name: the numbers differ from the plain output's: $(diff "$work/plain" "$work/latex" | head -n 5 | cut -c 1-100)"
    ;;
  compile)
    compile_tex "$name" doc
    # The same as a fragment, \input into a minimal article.
    "$program" "$@" --latex-fragment <"$input" >"$work/fragment.tex" 2>/dev/null
    printf '%s\n' '\documentclass{article}' '\usepackage{amsmath}' '\begin{document}' \
      'Notes of my own.' '\input{fragment}' '\end{document}' >"$work/host.tex"
    compile_tex "$name --latex-fragment" host
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
