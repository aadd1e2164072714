#include "modular/triangular_solves.hpp"

#include "diag/thread_pool.hpp"
#include "modular/float_gemm.hpp"

namespace velmora {

namespace {

// Triangular solves of at most this many rows substitute directly: their sums of up to
// 31 products and one residue stay below 2^52, as float_products.hpp asks, and a larger
// solve splits into two and a product, so that no unreduced value grows with its size.
constexpr int solve_rows = 32;
// Products of a direct triangular solve from which its columns are spread over the threads.
constexpr std::size_t parallel_solve_from = std::size_t(1) << 18;
static_assert(solve_rows <= float_block_products);

// row[j] -= l * pivot[j] for j < count, unreduced.
VELMORA_VECTOR_CLONES void subtract_multiple(double* __restrict row, const double* __restrict pivot, double l,
                                             int count) {
    for (int j = 0; j < count; ++j) row[j] -= l * pivot[j];
}

// row[j] := row[j] * x modulo p for centered residues row[j] and x.
VELMORA_VECTOR_CLONES void scale_row(double* __restrict row, double x, int count, const float_modulus& f) {
    const float_modulus g = f;
    for (int j = 0; j < count; ++j) row[j] = g.mul(row[j], x);
}

// Runs direct(begin, end) on slices of the w columns of a direct solve of r rows, over the
// threads when the solve is large: its columns are independent.
template <class Direct>
void by_column_slices(int r, int w, Direct direct) {
    const int pieces = double(r) * r * w < double(parallel_solve_from) ? 1 : thread_count();
    parallel_for(std::size_t(pieces), [&](std::size_t piece) {
        direct(int(std::size_t(w) * piece / pieces), int(std::size_t(w) * (piece + 1) / pieces));
    });
}

} // namespace

void solve_unit_lower(const double* l, std::size_t ldl, double* t, std::size_t ldt, int r, int w,
                      const float_modulus& f) {
    if (r <= solve_rows) {
        by_column_slices(r, w, [&](int begin, int end) {
            for (int i = 1; i < r; ++i) {
                double* row = t + std::size_t(i) * ldt;
                const double* li = l + std::size_t(i) * ldl;
                for (int s = 0; s < i; ++s)
                    if (li[s] != 0) subtract_multiple(row + begin, t + std::size_t(s) * ldt + begin, li[s], end - begin);
                reduce_block(row + begin, ldt, 1, end - begin, f);
            }
        });
        return;
    }
    const int top = r / 2;
    solve_unit_lower(l, ldl, t, ldt, top, w, f);
    subtract_product(t + std::size_t(top) * ldt, ldt, l + std::size_t(top) * ldl, ldl, t, ldt, r - top, w, top, f);
    solve_unit_lower(l + std::size_t(top) * ldl + top, ldl, t + std::size_t(top) * ldt, ldt, r - top, w, f);
}

void solve_upper(const double* u, std::size_t ldu, const double* inverses, double* t, std::size_t ldt, int r, int w,
                 const float_modulus& f) {
    if (r <= solve_rows) {
        by_column_slices(r, w, [&](int begin, int end) {
            for (int i = r - 1; i >= 0; --i) {
                double* row = t + std::size_t(i) * ldt;
                const double* ui = u + std::size_t(i) * ldu;
                for (int s = i + 1; s < r; ++s)
                    if (ui[s] != 0) subtract_multiple(row + begin, t + std::size_t(s) * ldt + begin, ui[s], end - begin);
                reduce_block(row + begin, ldt, 1, end - begin, f);
                scale_row(row + begin, inverses[i], end - begin, f);
            }
        });
        return;
    }
    // The bottom rows first, then their part of the top rows' sums as one product.
    const int top = r / 2;
    solve_upper(u + std::size_t(top) * ldu + top, ldu, inverses + top, t + std::size_t(top) * ldt, ldt, r - top, w, f);
    subtract_product(t, ldt, u + top, ldu, t + std::size_t(top) * ldt, ldt, top, w, r - top, f);
    solve_upper(u, ldu, inverses, t, ldt, top, w, f);
}

} // namespace velmora
