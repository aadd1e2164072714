// Rows of doubles in row-major arrays and the row operations of the pivot search run in
// doubles and of its proof. The proof's bounds on the products hold for sums of at most r
// terms taken in any order (with or without fused multiply-adds), so they do not depend
// on how these operations group or order the terms.
#pragma once

#include <algorithm>
#include <cstddef>

namespace velmora {

// The unit roundoff of doubles, u = 2^-53: the relative error of one rounded operation
// whose result is in the normal range.
constexpr double double_unit = 0x1p-53;
// Above the absolute error of one product or sum whose result falls below the normal range
// (at most half the smallest subnormal double, 2^-1075).
constexpr double subnormal_error = 0x1p-1070;

// Row k of a p-by-q row-major array.
inline double* row_of(double* x, int q, int k) { return x + std::size_t(k) * q; }
inline const double* row_of(const double* x, int q, int k) { return x + std::size_t(k) * q; }

// y[from .. to-1] += f * x[from .. to-1].
inline void add_scaled(double* y, const double* x, double f, int from, int to) {
    for (int c = from; c < to; ++c) y[c] += f * x[c];
}

// y[from .. to-1] += f[u] * x[u][from .. to-1] for u = 0 .. count-1 in turn: per entry the
// products and sums of add_scaled in the same order (so the same roundings), with one pass
// over y for up to four rows.
inline void add_multiples(double* y, const double* const* x, const double* f, int count, int from, int to) {
    int u = 0;
    for (; u + 4 <= count; u += 4) {
        const double f0 = f[u], f1 = f[u + 1], f2 = f[u + 2], f3 = f[u + 3];
        const double *x0 = x[u], *x1 = x[u + 1], *x2 = x[u + 2], *x3 = x[u + 3];
        for (int c = from; c < to; ++c) {
            double v = y[c];
            v += f0 * x0[c];
            v += f1 * x1[c];
            v += f2 * x2[c];
            v += f3 * x3[c];
            y[c] = v;
        }
    }
    for (; u < count; ++u) add_scaled(y, x[u], f[u], from, to);
}

// Sums f(l) x(l) over l = first .. last-1 with f(l) != 0 into y[from(l) .. to(l)-1], in
// order of l, through add_multiples four terms at a time: a group spans the columns of
// all its terms (the rows x(l) must be 0 outside their own span, as triangular rows are).
template <class Factor, class Row, class From, class To>
void add_rows(double* y, int first, int last, Factor f, Row x, From from, To to) {
    const double* rows[4];
    double factors[4];
    int count = 0, lo = 0, hi = 0;
    for (int l = first; l < last; ++l) {
        const double v = f(l);
        if (v == 0.0) continue;
        lo = count == 0 ? from(l) : std::min(lo, from(l));
        hi = count == 0 ? to(l) : std::max(hi, to(l));
        rows[count] = x(l);
        factors[count++] = v;
        if (count == 4) {
            add_multiples(y, rows, factors, count, lo, hi);
            count = 0;
        }
    }
    if (count > 0) add_multiples(y, rows, factors, count, lo, hi);
}

// The blocks of add_product: a block of product_depth rows and product_columns columns of
// b (128 KB) stays in the second-level cache while every row passes it.
constexpr int product_columns = 256;
constexpr int product_depth = 64;

// y[i][c] += sum over l of f(i, l) b(l, c) for the rows i < count, l in [lo(i), hi(i))
// (f(i, l) is 0 outside), c in [0, width); b(l, c) at b[l * ldb + c], of depth rows, and
// with b_upper, 0 for c < l (the products of those are skipped where a block allows). The
// sums are taken a block of b at a time, each row's terms in order of l within a block.
template <class Factor, class Lo, class Hi>
void add_product(double* const* y, int count, Factor f, const double* b, std::size_t ldb, int depth, int width,
                 bool b_upper, Lo lo, Hi hi) {
    for (int c0 = 0; c0 < width; c0 += product_columns) {
        const int c1 = std::min(width, c0 + product_columns);
        const int end = b_upper ? std::min(depth, c1) : depth;
        for (int l0 = 0; l0 < end; l0 += product_depth) {
            const int l1 = std::min(end, l0 + product_depth);
            for (int i = 0; i < count; ++i) {
                const int from = std::max(l0, lo(i)), to = std::min(l1, hi(i));
                if (from >= to) continue;
                add_rows(
                    y[i], from, to, [&](int l) { return f(i, l); }, [&](int l) { return b + std::size_t(l) * ldb; },
                    [&](int) { return c0; }, [&](int) { return c1; });
            }
        }
    }
}

} // namespace velmora
