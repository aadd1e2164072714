#!/usr/bin/env bash
# The example consumer project finds the installed library with find_package,
# builds, and prints the expected results.
# Usage: consumer_cmake.sh CMAKE PREFIX CONSUMER_SOURCE SCRATCH CXX BUILD_TYPE EXPECTED
set -u
cmake=$1 prefix=$2 consumer=$3 scratch=$4 cxx=$5 build_type=$6 expected=$7

rm -rf "$scratch"
if ! log=$("$cmake" -S "$consumer" -B "$scratch" -DCMAKE_PREFIX_PATH="$prefix" \
             -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE="$build_type" 2>&1 &&
           "$cmake" --build "$scratch" 2>&1); then
  echo "FAIL: the consumer project does not build against $prefix:"
  echo "$log"
  exit 1
fi
if ! diff -u "$expected" <("$scratch/exact_examples"); then
  echo "FAIL: the consumer printed other results than $expected"
  exit 1
fi
