// The determinant of a square integer matrix, output-sensitively: one p-adic solution of
// A x = b gives a large divisor of det A, and primes give only the rest.
#pragma once

#include "bigint/big_int.hpp"

#include <cstddef>

namespace velmora {

// A call that may run beside another computation: run(context), when run is set.
struct side_work {
    void (*run)(void*) = nullptr;
    void* context = nullptr;
    void operator()() const {
        if (run) run(context);
    }
};

// Sets det to the determinant of the n-by-n integer matrix whose row i starts at
// a + i * stride, and returns true; returns false, with det unchanged, when the matrix is
// singular modulo the first primes tried (then it may be singular).
//
// With an LU factorisation modulo a prime p not dividing det A, Dixon's lifting gives
// x = A^-1 b modulo p^L for an integer vector b, one digit of x at a time (each step a
// solution modulo p and an exact division of the residual by p). Every entry of x is
// y_j / d for the common denominator d, and by Cramer's rule |y_j| and d are minors of
// [A | b], below 2^h; with p^L > 2^(2h + 1) rational reconstruction finds them. The
// reconstruction is then checked exactly (A y = d b), so that x = y / d holds whatever
// the bounds. Then d divides det A (x = adj(A) b / det A), and the cofactor c = det A / d
// is found modulo primes whose product exceeds twice its bound 2^h' / d (h' bounding
// det A): one prime, p itself, for most matrices.
//
// beside: work of the caller's, run once whatever the result, on the second thread when
// there is one, after its share of the primes (it must not touch what this call touches).
bool padic_determinant(const big_int* a, int n, std::size_t stride, big_int& det, side_work beside = {});

} // namespace velmora
