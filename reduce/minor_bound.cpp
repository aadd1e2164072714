#include "reduce/minor_bound.hpp"

#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <bit>

namespace velmora {

long bit_length(const big_int& x) {
    const big_int_rep& r = x.rep();
    if (r.len == 0) return 0;
    return long(r.len - 1) * long(8 * sizeof(mag_word)) + std::bit_width(r.digits[r.len - 1]);
}

namespace {

// The product of max(1, s[k]) over k in [0, count).
big_int product_at_least_one(const big_int* s, int count) {
    const big_int one(1);
    big_int product = one;
    for (int k = 0; k < count; ++k)
        if (s[k] > one) product = product * s[k];
    return product;
}

} // namespace

long minor_bound_bits(const big_int* a, int m, int n) {
    // A k-by-k minor is at most the product of the norms of its k rows (or columns), each
    // at most the norm of the whole row (column). Factors below 1 (zero lines) are raised
    // to 1, so taking every row, or the m largest columns, bounds minors of any order.
    checked_buffer<big_int> rows(m), cols(n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) {
            const big_int& x = a[std::size_t(i) * n + j];
            if (x.rep().len == 0) continue;
            const big_int square = x * x;
            rows[i] = rows[i] + square;
            cols[j] = cols[j] + square;
        }
    std::sort(cols.data(), cols.data() + n, [](const big_int& x, const big_int& y) { return x > y; });
    const long by_rows = bit_length(product_at_least_one(rows.data(), m));
    const long by_cols = bit_length(product_at_least_one(cols.data(), std::min(m, n)));
    // sqrt(P) < 2^(b/2) <= 2^ceil(b/2) for a product P of b bits.
    return (std::min(by_rows, by_cols) + 1) / 2;
}

} // namespace velmora
