#!/bin/sh
# install_missing.sh <what> <required packages> [-- <optional packages>]
# Installs the Debian packages of the lists that are missing, with apt-get, as root or
# through sudo without a password. A required package that cannot be installed stops
# with one line naming it (status 1); an optional one is named in one line and skipped.
# On a machine without dpkg nothing is checked here: CMake finds what there is.
what=$1
shift
command -v dpkg >/dev/null 2>&1 || exit 0

required=""
optional=""
list=required
for pkg in "$@"; do
  if [ "$pkg" = "--" ]; then list=optional; continue; fi
  dpkg -s "$pkg" >/dev/null 2>&1 && continue
  if [ "$list" = required ]; then required="$required $pkg"; else optional="$optional $pkg"; fi
done
missing="$required$optional"
[ -n "$missing" ] || exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then sudo="sudo -n"; else sudo=none; fi
fi
if [ "$sudo" != none ] && command -v apt-get >/dev/null 2>&1; then
  echo "installing:$missing"
  $sudo apt-get update >/dev/null 2>&1
  # One at a time, so that a package this machine cannot have does not hold back the rest.
  for pkg in $missing; do
    $sudo apt-get install -y --no-install-recommends "$pkg" >/dev/null 2>&1
  done
fi

still_required=""
for pkg in $required; do dpkg -s "$pkg" >/dev/null 2>&1 || still_required="$still_required $pkg"; done
for pkg in $optional; do
  dpkg -s "$pkg" >/dev/null 2>&1 || echo "$what goes on without $pkg (install it with: apt-get install $pkg)"
done
if [ -n "$still_required" ]; then
  echo "$what needs$still_required: install it with: apt-get install$still_required"
  exit 1
fi
exit 0
