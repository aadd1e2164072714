#!/usr/bin/env bash
# The example consumer builds with nothing but the flags of the installed
# pkg-config file, and prints the expected results.
# On GMP's kernel the flags link GMP too.
# Usage: consumer_pkg_config.sh PKG_CONFIG_DIR CONSUMER_SOURCE SCRATCH CXX EXPECTED KERNEL
set -u
pc_dir=$1 consumer=$2 scratch=$3 cxx=$4 expected=$5 kernel=$6

if ! command -v pkg-config >/dev/null; then
  echo "SKIPPED: pkg-config is not installed, velmora.pc is not checked." >&2
  echo "Install it with: apt-get install pkg-config" >&2
  exit 77
fi
if ! flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs velmora 2>&1); then
  echo "FAIL: pkg-config does not find velmora in $pc_dir: $flags"
  exit 1
fi
case " $flags " in
  *" -lgmp "*) [ "$kernel" = gmp ] || { echo "FAIL: the own kernel's flags link GMP: $flags"; exit 1; } ;;
  *) [ "$kernel" != gmp ] || { echo "FAIL: the gmp kernel's flags do not link GMP: $flags"; exit 1; } ;;
esac
rm -rf "$scratch" && mkdir -p "$scratch"
# shellcheck disable=SC2086 # the flags are several words
if ! log=$("$cxx" -std=c++20 -o "$scratch/exact_examples" "$consumer/exact_examples.cpp" \
             $flags 2>&1); then
  echo "FAIL: the consumer does not build with: $flags"
  echo "$log"
  exit 1
fi
if ! diff -u "$expected" <("$scratch/exact_examples"); then
  echo "FAIL: the consumer printed other results than $expected"
  exit 1
fi
