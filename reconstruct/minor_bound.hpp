// A bound on the minors of an integer matrix, for the number of primes that
// determine them.
#pragma once

#include "bigint/big_int.hpp"

namespace velmora {

// An h such that every minor, of every order, of the m-by-n integer matrix a (row-major)
// is below 2^h in absolute value: half the bit length of the smaller of two products,
// that of max(1, squared norm) over all rows and that over the m largest columns
// (Hadamard's inequality by rows and by columns). Pre: m <= n.
long minor_bound_bits(const big_int* a, int m, int n);

// Bounds on the minors of each order of an integer matrix, from Hadamard's inequality:
// a k-by-k minor is at most the product of the norms of its k rows (or columns), each at
// most the norm of the whole row (column), so at most the product of the k largest.
class minor_bounds {
public:
    // For the m-by-n matrix a (row-major), restricted to the `count` columns listed in
    // cols (all n columns, in order, when cols is null).
    minor_bounds(const big_int* a, int m, int n, const int* cols = nullptr, int count = -1);
    minor_bounds(const minor_bounds&) = delete;
    minor_bounds& operator=(const minor_bounds&) = delete;
    ~minor_bounds();

    // An h >= 0 such that every k-by-k minor, 1 <= k <= min(rows, columns), is below 2^h
    // in absolute value; 0 when every such minor vanishes for want of k nonzero lines.
    long bits(int k) const;

private:
    int orders_;
    long* bits_;  // bits_[k - 1]
};

} // namespace velmora
