// A bound on the determinant of a square integer matrix from its factorisation in doubles,
// as work to run beside the p-adic determinant (which it spares its primes taken ahead).
#pragma once

#include "bigint/big_int.hpp"
#include "diag/side_work.hpp"

#include <cstddef>

namespace velmora {

// For the leading n-by-n block A of a (row stride `stride`), which must outlive it: work()
// is a side_work whose run sets bits to a b with |det A| < 2^b, or leaves it -1 when A has
// entries beyond the range of doubles (about 2^900) or the doubles cannot show a bound
// (singular or too ill-conditioned A).
class square_det_bound {
public:
    square_det_bound(const big_int* a, int n, std::size_t stride) : a_(a), n_(n), stride_(stride) {}
    square_det_bound(const square_det_bound&) = delete;
    square_det_bound& operator=(const square_det_bound&) = delete;

    side_work work() { return {[](void* c) { static_cast<square_det_bound*>(c)->run(); }, this, &bits}; }
    void run();

    long bits = -1;

private:
    const big_int* a_;
    int n_;
    std::size_t stride_;
};

} // namespace velmora
