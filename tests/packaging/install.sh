#!/usr/bin/env bash
# cmake --install puts the programs, the library, every header of the library
# folders, the manual pages and both package configurations under a prefix.
# Usage: install.sh CMAKE BUILD_DIR PREFIX SOURCE_DIR "FOLDERS" LIBDIR
set -u
cmake=$1 build=$2 prefix=$3 source=$4 folders=$5 libdir=$6
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

# The headers installed are exactly those of the library folders.
expected=$(cd "$source" && for f in $folders; do ls "$f"/*.hpp 2>/dev/null; done | sort)
installed=$(cd "$prefix/include/velmora" && find . -type f | sed 's|^\./||' | sort)
if [ "$expected" != "$installed" ]; then
  echo "FAIL: the installed headers differ from those of the library folders:"
  diff <(echo "$expected") <(echo "$installed")
  status=1
fi

# The driver library belongs to the programs only.
if find "$prefix" -name '*velmora_driver*' | grep -q .; then
  echo "FAIL: the driver library is installed"
  status=1
fi

version=$("$prefix/bin/zerk" -v)
[ "$version" = "Zerk from Velmora 1.02" ] ||
  { echo "FAIL: installed zerk -v printed '$version'"; status=1; }
exit $status
