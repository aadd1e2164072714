// Determinants and ranks of integer matrices from word-size primes, for the results that
// need no elimination beyond them.
#pragma once

#include "bigint/big_int.hpp"

#include <cstddef>

namespace velmora {

// Rows from which a determinant may be found by a p-adic solution rather than by primes
// alone.
constexpr int padic_threshold = 16;

// Whether the determinant of the leading m-by-m block of a (row stride `stride`) is found
// faster by a p-adic solution: from padic_threshold rows, with entries of fewer than m / 3
// words. Its lifting takes some 2k steps of m^2 products of an entry by a word where primes
// alone take k factorisations of m^3 / 3 products, k the primes to cover the bound: it
// pays while the words of an entry stay below about a third of m.
bool padic_pays(const big_int* a, int m, std::size_t stride);

// The rank of the m-by-n matrix a (row-major) modulo the first prime of the sequence: a
// lower bound on its rank, and the rank itself when it is min(m, n).
int first_prime_rank(const big_int* a, int m, int n);

// The determinant of the leading m-by-m block of a (m <= n): by one p-adic solution and
// few primes where that pays, else (or when the block is singular modulo the first primes)
// from primes alone.
big_int leading_determinant(const big_int* a, int m, int n);

} // namespace velmora
