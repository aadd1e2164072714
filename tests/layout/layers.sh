#!/usr/bin/env bash
# The library's layout: each folder includes headers only of its own layer and the layers
# before it, no two compiled modules (a source file with its header) need each other's
# headers, directly or through others, no folder holds more than 30 % of the library's
# lines and no source file more than 500.
# Usage: layers.sh SOURCE_DIR
set -u
cd "$1" || exit 1
layers="diag bigint rational containers reduce modular reconstruct engine driver"
status=0

rank() {
  local i=0 l
  for l in $layers; do
    [ "$l" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}

# Every "folder/header.hpp" include, as: including-file included-header.
edges=$(for folder in $layers; do
  for f in "$folder"/*.hpp "$folder"/*.cpp; do
    [ -f "$f" ] || continue
    sed -n "s|^#include \"\\([a-z_]*/[a-z_0-9]*\\.hpp\\)\".*|$f \\1|p" "$f"
  done
done)

while read -r file header; do
  [ -n "$file" ] || continue
  if [ ! -f "$header" ]; then
    echo "FAIL: $file includes $header, which is not in the tree"
    status=1
    continue
  fi
  from=$(rank "${file%%/*}") to=$(rank "${header%%/*}")
  if [ "$to" -gt "$from" ]; then
    echo "FAIL: $file includes $header, of a layer above its own (${file%%/*})"
    status=1
  fi
done <<<"$edges"

# Compiled modules: a source file with its own header (the one it includes first). Each
# module needs the modules whose headers its files reach, directly or through other
# headers; tsort finds any cycle among those needs. (Header-only templates may include
# each other, as a type and its text form do: they are not compiled modules.)
declare -A includes own_header
while read -r file header; do
  [ -n "$file" ] && includes[$file]="${includes[$file]:-} $header"
done <<<"$edges"
for f in $(for folder in $layers; do ls "$folder"/*.cpp 2>/dev/null; done); do
  first=$(sed -n 's|^#include "\([a-z_]*/[a-z_0-9]*\.hpp\)".*|\1|p' "$f" | head -n 1)
  [ -n "$first" ] && own_header[$f]=$first
done
declare -A is_module sources_of
for f in "${!own_header[@]}"; do
  h=${own_header[$f]}
  is_module[$h]=1
  sources_of[$h]="${sources_of[$h]:-} $f"
done
needs=$(for m in "${!is_module[@]}"; do
  declare -A seen=()
  pending="${includes[$m]:-}"
  for f in ${sources_of[$m]}; do pending="$pending ${includes[$f]:-}"; done
  while [ -n "${pending// /}" ]; do
    next=""
    for h in $pending; do
      [ -n "${seen[$h]:-}" ] && continue
      seen[$h]=1
      next="$next ${includes[$h]:-}"
    done
    pending=$next
  done
  for h in "${!seen[@]}"; do
    [ "$h" != "$m" ] && [ -n "${is_module[$h]:-}" ] && echo "$m $h"
  done
  unset seen
done)
if ! cycle=$(echo "$needs" | tsort 2>&1 >/dev/null); then
  echo "FAIL: compiled modules need each other's headers:"
  echo "$cycle"
  status=1
fi

# Lines per folder and per file.
total=0
for folder in $layers; do
  n=$(cat "$folder"/*.hpp "$folder"/*.cpp 2>/dev/null | wc -l)
  total=$((total + n))
done
for folder in $layers; do
  n=$(cat "$folder"/*.hpp "$folder"/*.cpp 2>/dev/null | wc -l)
  if [ $((100 * n)) -gt $((30 * total)) ]; then
    echo "FAIL: $folder holds $n of the library's $total lines, more than 30 %"
    status=1
  fi
  for f in "$folder"/*.hpp "$folder"/*.cpp; do
    [ -f "$f" ] || continue
    lines=$(wc -l <"$f")
    [ "$lines" -le 500 ] || { echo "FAIL: $f has $lines lines, more than 500"; status=1; }
  done
done
exit $status
