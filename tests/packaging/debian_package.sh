#!/usr/bin/env bash
# cpack builds a Debian package; unpacked into a scratch root, its programs run
# and it carries the library, the headers and the manual pages.
# On GMP's kernel the package depends on GMP's run-time library.
# Usage: debian_package.sh CPACK CPACK_CONFIG SCRATCH KERNEL
set -u
cpack=$1 config=$2 scratch=$3 kernel=$4
status=0

if ! command -v dpkg-deb >/dev/null; then
  echo "SKIPPED: dpkg-deb is not installed, the Debian package is not built." >&2
  exit 77
fi

rm -rf "$scratch"
if ! log=$("$cpack" --config "$config" -G DEB -B "$scratch/out" 2>&1); then
  echo "FAIL: cpack failed:"
  echo "$log"
  exit 1
fi
debs=("$scratch"/out/*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: cpack made no single .deb file:"
  echo "$log"
  exit 1
fi
deb=${debs[0]}

package=$(dpkg-deb -f "$deb" Package) version=$(dpkg-deb -f "$deb" Version)
[ "$package $version" = "velmora 1.02" ] ||
  { echo "FAIL: the package is '$package $version'"; status=1; }

depends=$(dpkg-deb -f "$deb" Depends)
if [ "$kernel" = gmp ]; then
  case ", $depends" in
    *", libgmp10"*) ;;
    *) echo "FAIL: built on GMP's kernel, but the package depends on: $depends"; status=1 ;;
  esac
fi

root=$scratch/root
dpkg -x "$deb" "$root"
for program in zerk zerkint; do
  expected="$(echo "${program^}") from Velmora 1.02"
  printed=$("$root/usr/bin/$program" -v)
  [ "$printed" = "$expected" ] ||
    { echo "FAIL: $program -v from the package printed '$printed'"; status=1; }
done
for file in usr/share/man/man1/zerk.1 usr/share/man/man1/zerkint.1 \
            usr/include/velmora/bigint/big_int.hpp usr/lib/cmake/Velmora/VelmoraConfig.cmake; do
  [ -f "$root/$file" ] || { echo "FAIL: the package lacks /$file"; status=1; }
done
[ -n "$(find "$root/usr/lib" -name libvelmora.a)" ] ||
  { echo "FAIL: the package lacks libvelmora.a"; status=1; }
exit $status
