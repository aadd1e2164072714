#!/usr/bin/env bash
# cmake --install puts the programs, the library, the public headers with every header
# they include, the manual pages and both package configurations under a prefix.
# Usage: install.sh CMAKE BUILD_DIR PREFIX SOURCE_DIR "PUBLIC_HEADERS" LIBDIR CXX
set -u
cmake=$1 build=$2 prefix=$3 source=$4 public=$5 libdir=$6 cxx=$7
status=0

rm -rf "$prefix"
if ! log=$("$cmake" --install "$build" --prefix "$prefix" 2>&1); then
  echo "FAIL: cmake --install failed:"
  echo "$log"
  exit 1
fi

expect_file() {
  [ -f "$prefix/$1" ] || { echo "FAIL: $1 is not installed"; status=1; }
}
for file in bin/zerk bin/zerkint "$libdir/libvelmora.a" share/man/man1/zerk.1 \
            share/man/man1/zerkint.1 "$libdir/cmake/Velmora/VelmoraConfig.cmake" \
            "$libdir/cmake/Velmora/VelmoraConfigVersion.cmake" \
            "$libdir/cmake/Velmora/VelmoraTargets.cmake" "$libdir/pkgconfig/velmora.pc"; do
  expect_file "$file"
done
[ -x "$prefix/bin/zerk" ] || { echo "FAIL: bin/zerk is not executable"; status=1; }

# The headers installed are exactly the public ones and those they include, directly or
# through others: the closure of their "folder/header.hpp" includes in the source tree.
closure=$public
pending=$public
while [ -n "$pending" ]; do
  next=""
  for h in $pending; do
    for inc in $(sed -n 's/^#include "\([a-z_]*\/[a-z_0-9]*\.hpp\)".*/\1/p' "$source/$h"); do
      case " $closure " in *" $inc "*) ;; *) closure="$closure $inc" next="$next $inc" ;; esac
    done
  done
  pending=$next
done
expected=$(printf '%s\n' $closure | sort)
installed=$(cd "$prefix/include/velmora" && find . -type f | sed 's|^\./||' | sort)
if [ "$expected" != "$installed" ]; then
  echo "FAIL: the installed headers are not the public ones with what they include:"
  diff <(echo "$expected") <(echo "$installed")
  status=1
fi

# Each public header compiles on its own against the installed headers alone.
for h in $public; do
  if ! out=$(echo "#include <velmora/$h>" | "$cxx" -std=c++20 -fsyntax-only -x c++ \
               -I "$prefix/include" -I "$prefix/include/velmora" - 2>&1); then
    echo "FAIL: <velmora/$h> does not compile against the installed headers:"
    echo "$out" | head -n 5
    status=1
  fi
done

# The driver library belongs to the programs only.
if find "$prefix" -name '*velmora_driver*' | grep -q .; then
  echo "FAIL: the driver library is installed"
  status=1
fi

version=$("$prefix/bin/zerk" -v)
[ "$version" = "Zerk from Velmora 1.02" ] ||
  { echo "FAIL: installed zerk -v printed '$version'"; status=1; }
exit $status
