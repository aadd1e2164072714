#!/usr/bin/env bash
# The manual pages render without a single groff warning, and each names every
# option that its program's usage text lists.
# Usage: man_pages.sh MAN_DIR ZERK ZERKINT
set -u
set -f  # options such as "-?" are words, not file patterns
man_dir=$1
status=0

if ! command -v groff >/dev/null; then
  echo "SKIPPED: groff is not installed, the manual pages are not checked." >&2
  echo "Install it with: apt-get install groff-base man-db" >&2
  exit 77
fi

for program in "$2" "$3"; do
  name=$(basename "$program")
  page=$man_dir/$name.1
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  if [ $? -ne 0 ] || [ -n "$warnings" ]; then
    echo "FAIL: $page does not render cleanly:"
    echo "$warnings"
    status=1
  fi
  # Options as the usage text lists them: " -a or -A:", " -? or -h or --help:".
  options=$("$program" -h | sed -n 's/^ \(-[^:]*\):.*/\1/p' | sed 's/ or / /g')
  [ -n "$options" ] || { echo "FAIL: no options found in the usage text of $name"; status=1; }
  for option in $options; do
    # In the page source every "-" of an option is written "\-"; the option must
    # not continue with a letter or "-" ("\-r" is not "\-\-rank").
    pattern=$(printf '%s' "$option" | sed -e 's/-/\\\\-/g' -e 's/?/\\?/g')
    if ! grep -qE -- "${pattern}([^[:alnum:]-]|\$)" "$page"; then
      echo "FAIL: $page does not describe the option $option"
      status=1
    fi
  done
done
exit $status
