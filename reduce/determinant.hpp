// Determinants and ranks of integer matrices from word-size primes, for the results that
// need no elimination beyond them.
#pragma once

#include "bigint/big_int.hpp"

namespace velmora {

// Rows from which a determinant is found by a p-adic solution rather than by primes alone.
constexpr int padic_threshold = 16;

// The rank of the m-by-n matrix a (row-major) modulo the first prime of the sequence: a
// lower bound on its rank, and the rank itself when it is min(m, n).
int first_prime_rank(const big_int* a, int m, int n);

// The determinant of the leading m-by-m block of a (m <= n): by one p-adic solution and
// few primes for matrices from padic_threshold rows, else (or when the block is singular
// modulo the first primes) from primes alone.
big_int leading_determinant(const big_int* a, int m, int n);

} // namespace velmora
