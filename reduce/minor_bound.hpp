// A bound on the minors of an integer matrix, for the number of primes that
// determine them.
#pragma once

#include "bigint/big_int.hpp"

namespace velmora {

// Bits of |x|; 0 for zero.
long bit_length(const big_int& x);

// An h such that every minor, of every order, of the m-by-n integer matrix a (row-major)
// is below 2^h in absolute value: half the bit length of the smaller of two products,
// that of max(1, squared norm) over all rows and that over the m largest columns
// (Hadamard's inequality by rows and by columns). Pre: m <= n.
long minor_bound_bits(const big_int* a, int m, int n);

} // namespace velmora
