// The determinant of a square integer matrix, output-sensitively: one p-adic solution of
// A x = b gives a large divisor of det A, and primes give only the rest.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/side_work.hpp"

#include <cstddef>

namespace velmora {

// Sets det to the determinant of the n-by-n integer matrix whose row i starts at
// a + i * stride, and returns true; returns false, with det unchanged, when the matrix is
// singular modulo the first primes tried (then it may be singular).
//
// With an LU factorisation modulo a prime p not dividing det A, Dixon's lifting gives
// x = A^-1 b modulo p^L for an integer vector b, one digit of x at a time (each step a
// solution modulo p and an exact division of the residual by p). The sum z of the entries
// of x is y / d in lowest terms, and by Cramer's rule |y| is at most n times a bound 2^h
// on the minors of [A | b], and d at most 2^h; with p^L above twice the product of the
// two bounds, rational reconstruction finds them. Then d divides det A
// (z = (1 ... 1) adj(A) b / det A), and the cofactor c = det A / d
// is found modulo primes whose product exceeds twice its bound 2^h' / d (h' bounding
// det A): one prime, p itself, for most matrices.
//
// beside: work of the caller's, run once whatever the result, on the second thread when
// there is one, after its share of the primes (it must not touch what this call touches).
// A beside that bounds det A runs first there instead, and its bound spares the primes
// that the bound makes needless; with small entries the lifting then runs modulo a prime
// below 2^28 (half_word_lu), which alone gives the cofactor when the bound leaves it
// below half that prime.
bool padic_determinant(const big_int* a, int n, std::size_t stride, big_int& det, side_work beside = {});

} // namespace velmora
