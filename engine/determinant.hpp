// The determinant of a leading square block of an integer matrix, by the cheaper of a p-adic
// solution with few primes and primes alone.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/side_work.hpp"

#include <cstddef>

namespace velmora {

// Rows from which a determinant may be found by a p-adic solution rather than by primes
// alone. A choice of speed only: both give det A exactly.
constexpr int padic_threshold = 16;

// The p-adic solution pays while the words of an entry stay below about the rows over this
// (see padic_pays).
constexpr long padic_rows_per_entry_word = 3;

// Whether the determinant of the leading m-by-m block of a (row stride `stride`) is found
// faster by a p-adic solution: from padic_threshold rows, with entries of fewer than
// m / padic_rows_per_entry_word words. Its lifting takes some 2k steps of m^2 products of
// an entry by a word where primes alone take k factorisations of m^3 / 3 products, k the
// primes to cover the bound: it pays while the words of an entry stay below about a third
// of m.
bool padic_pays(const big_int* a, int m, std::size_t stride);

// The determinant of the leading m-by-m block of a (m <= n): by one p-adic solution and
// few primes where that pays, else (or when the block is singular modulo the first primes)
// from primes alone. beside runs once, on another thread where the p-adic solution
// leaves one free (see padic_determinant), else before the primes.
big_int leading_determinant(const big_int* a, int m, int n, side_work beside = {});

} // namespace velmora
