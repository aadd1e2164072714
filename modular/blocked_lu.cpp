#include "modular/blocked_lu.hpp"

#include "diag/thread_pool.hpp"
#include "modular/float_gemm.hpp"
#include "modular/half_word_lu.hpp"
#include "modular/modular_lu.hpp"
#include "modular/triangular_solves.hpp"

#include <algorithm>
#include <cstring>

namespace velmora {

namespace {

// Blocks of at most this many columns are eliminated entry by entry; wider ones split.
// Small, since that elimination reduces after every product; large enough that the
// products of the levels above it are matrix products of some depth.
constexpr int panel_columns = 8;
// Entries of a block from which its rows' moves are spread over the threads.
constexpr std::size_t permute_pieces_from = std::size_t(1) << 18;
// Entries from which the reading of the matrix is spread over the threads.
constexpr std::size_t load_pieces_from = std::size_t(1) << 18;
static_assert(panel_columns <= float_block_products);

// x modulo p as a centered residue, for p < 2^22.
double centered_residue(const big_int& x, const float_modulus& f) {
    // Most entries are small values, |v| < p / 2: their own residues, found without
    // reading the record.
    int v_small;
    if (small_value_of(x, v_small) && double(v_small < 0 ? -v_small : v_small) <= f.half) return double(v_small);
    const big_int_rep& r = x.rep();
    const std::uint32_t p = std::uint32_t(f.p);
    std::uint32_t v = r.len == 0 ? 0 : r.len == 1 ? std::uint32_t(r.digits[0] % p) : residue_mod(x, p);
    if (r.len == 1 && r.sign < 0 && v != 0) v = p - v;
    return v > f.half ? double(v) - f.p : double(v);
}

// out[e] = a[e] as a centered residue, for integers |a[e]| < 2^52.
VELMORA_VECTOR_CLONES void reduce_copy(const double* __restrict a, double* __restrict out, std::size_t count,
                                       const float_modulus& f) {
    const float_modulus g = f;
    for (std::size_t e = 0; e < count; ++e) out[e] = g.reduce(a[e]);
}

} // namespace

bool exact_in_doubles(const big_int* a, std::size_t count, double* out) {
    for (std::size_t e = 0; e < count; ++e) {
        const big_int_rep& r = a[e].rep();
        if (r.len > 1 || (r.len == 1 && r.digits[0] >= (std::uint64_t(1) << 52))) return false;
        const double v = r.len == 0 ? 0.0 : double(r.digits[0]);
        out[e] = r.sign < 0 ? -v : v;
    }
    return true;
}

void centered_residues(const big_int* a, std::size_t count, std::uint32_t p, double* out) {
    const float_modulus f(p);
    for (std::size_t e = 0; e < count; ++e) out[e] = centered_residue(a[e], f);
}

void centered_residues(const double* a, std::size_t count, std::uint32_t p, double* out) {
    reduce_copy(a, out, count, float_modulus(p));
}

blocked_lu::blocked_lu(int m, int n)
    : m_(m), n_(n), work_(1), pivots_(std::max(1, std::min(m, n))), rows_(std::max(1, std::min(m, n))),
      cols_(std::max(1, std::min(m, n))), order_(std::max(1, m)) {}

int blocked_lu::factor(const big_int* a, std::uint32_t p) {
    return factor_rows(p, [&](std::size_t begin, std::size_t end) {
        for (std::size_t e = begin; e < end; ++e) work_[e] = centered_residue(a[e], f_);
    });
}

int blocked_lu::factor(const double* a, std::uint32_t p) {
    return factor_rows(p, [&](std::size_t begin, std::size_t end) { reduce_copy(a + begin, work_.data() + begin, end - begin, f_); });
}

template <class Load>
int blocked_lu::factor_rows(std::uint32_t p, Load load) {
    detail::count_factorisation();
    f_ = float_modulus(p);
    int k = std::min(m_, n_);
    int r = 0;
    for (;;) {
        const std::size_t count = std::size_t(k) * n_;
        work_.reserve_uninitialised(count);
        // Reading the integers is as long as a fifth of a factorisation at n = 4000: spread.
        const std::size_t pieces = count < load_pieces_from ? 1 : std::size_t(thread_count());
        parallel_for(pieces, [&](std::size_t s) { load(count * s / pieces, count * (s + 1) / pieces); });
        r = factor_block(0, k, 0, n_, 0, order_.data());
        if (r == n_ || k == m_) break;
        k = int(std::min<long>(m_, 2L * k));
    }
    rank_ = r;
    // Positions 0 .. r-1 hold the pivot rows in pivot order; order_ names their rows.
    std::copy(order_.data(), order_.data() + r, rows_.data());
    return r;
}

// Factors the k-by-w block at rows row0.., columns col0.. (pivot steps from step0 on).
// On return its rows are reordered: position i holds the row that was at position
// order[i], the r pivot rows first in pivot order, then the others in their old order;
// columns col0 .. col0 + r - 1 hold each row's multipliers of the block's steps (for the
// rows without pivot all of them, for pivot t those before t); the rest of the block's
// entries are spent. Entries outside the block are untouched.
int blocked_lu::factor_block(int row0, int k, int col0, int w, int step0, int* order) {
    if (k == 0) return 0;
    if (w <= panel_columns) return factor_panel(row0, k, col0, w, step0, order);
    const int w1 = w / 2, w2 = w - w1;
    checked_buffer<int> left(k);
    const int r1 = factor_block(row0, k, col0, w1, step0, left.data());
    permute_rows(row0, k, col0 + w1, w2, left.data());
    int r2 = 0;
    if (r1 < k) {
        if (r1 > 0) {
            // U12 = L11^-1 A12 on the pivot rows, S = A22 - L21 U12 on the others.
            solve_lower(row0, r1, col0, col0 + w1, w2);
            subtract_product(at(row0 + r1, col0 + w1), n_, at(row0 + r1, col0), n_, at(row0, col0 + w1), n_, k - r1, w2,
                             r1, f_);
        }
        checked_buffer<int> right(k - r1);
        r2 = factor_block(row0 + r1, k - r1, col0 + w1, w2, step0 + r1, right.data());
        if (r2 > 0) {
            // The rows of S moved: their multipliers of the left half's steps move with them,
            // and those of the right half's steps join them at columns col0 + r1 ...
            permute_rows(row0 + r1, k - r1, col0, r1, right.data());
            const int rows = k - r1;
            const int pieces = double(rows) * r2 < double(permute_pieces_from) ? 1 : thread_count();
            parallel_for(std::size_t(pieces), [&](std::size_t s) {
                const int begin = row0 + r1 + int(std::size_t(rows) * s / pieces);
                const int end = row0 + r1 + int(std::size_t(rows) * (s + 1) / pieces);
                for (int i = begin; i < end; ++i)
                    std::memmove(at(i, col0 + r1), at(i, col0 + w1), sizeof(double) * std::size_t(r2));
            });
        }
        for (int i = 0; i < k; ++i) order[i] = i < r1 ? left[i] : left[r1 + right[i - r1]];
    } else {
        std::copy(left.data(), left.data() + k, order);
    }
    return r1 + r2;
}

// factor_block on a block of at most panel_columns columns: elimination by rows. An entry
// takes at most panel_columns products of two residues (each below 2^42) on top of the
// residue it starts as, so it stays below 2^48 and exact without a reduction; only the
// entries that are tested for zero, the multipliers and the pivot row are reduced. The
// block is eliminated in a packed copy (k rows of w), which the column sweeps read from
// the cache instead of from one page per row.
int blocked_lu::factor_panel(int row0, int k, int col0, int w, int step0, int* order) {
    checked_buffer<double> panel(std::size_t(k) * w, uninitialised);
    for (int i = 0; i < k; ++i) std::memcpy(panel.data() + std::size_t(i) * w, at(row0 + i, col0), sizeof(double) * w);
    const auto packed = [&](int i) { return panel.data() + std::size_t(i) * w; };
    checked_buffer<unsigned char> is_pivot(k);
    checked_buffer<int> pivot_at(w), pivot_col(w);
    std::fill(is_pivot.data(), is_pivot.data() + k, 0);
    const float_modulus f = f_;
    int r = 0;
    for (int c = 0; c < w && r < k; ++c) {
        int pos = 0;
        for (; pos < k; ++pos) {
            if (is_pivot[pos]) continue;
            double& x = packed(pos)[c];
            x = f.reduce(x);
            if (x != 0) break;
        }
        if (pos == k) continue;
        double* pivot_row = packed(pos);
        reduce_block(pivot_row + c, std::size_t(w), 1, w - c, f);
        const double inverse = f.inverse_of(pivot_row[c]);
        pivots_[step0 + r] = pivot_row[c];
        cols_[step0 + r] = col0 + c;
        pivot_at[r] = pos;
        pivot_col[r] = c;
        ++r;
        is_pivot[pos] = 1;
        // The rows before the pivot row without pivot are zero in column c (none was chosen).
        for (int i = pos + 1; i < k; ++i) {
            if (is_pivot[i]) continue;
            double* row = packed(i);
            const double l = f.mul(f.reduce(row[c]), inverse);
            row[c] = l;  // the multiplier, kept where the eliminated entry was
            // Inline: a call through the vector units' dispatch costs more than these
            // few products.
            if (l != 0)
                for (int j = c + 1; j < w; ++j) row[j] -= l * pivot_row[j];
        }
    }
    int next = 0;
    for (int s = 0; s < r; ++s) order[next++] = pivot_at[s];
    for (int i = 0; i < k; ++i)
        if (!is_pivot[i]) order[next++] = i;
    // Back in the block, row i is packed row order[i], and the multipliers of step s move
    // from column pivot_col[s] >= s to column s; columns r .. w - 1 keep their (spent) values.
    for (int i = 0; i < k; ++i) {
        const double* from = packed(order[i]);
        double* to = at(row0 + i, col0);
        for (int s = 0; s < r; ++s) to[s] = from[pivot_col[s]];
        std::memcpy(to + r, from + r, sizeof(double) * (w - r));
    }
    return r;
}

// T := L^-1 T for the r-by-w block T at rows row0.., columns t_col0.., L the unit lower
// triangle whose strict part lies at rows row0.., columns l_col0 .. l_col0 + r - 1.
void blocked_lu::solve_lower(int row0, int r, int l_col0, int t_col0, int w) {
    solve_unit_lower(at(row0, l_col0), n_, at(row0, t_col0), n_, r, w, f_);
}

// Row i of the block (rows row0 .. row0 + k - 1, columns col0 .. col0 + w - 1) becomes its
// row order[i], by following each cycle of the permutation with one row set aside; a wide
// block in slices of columns over the threads (the moves are a tenth of a factorisation's
// time at n = 4000).
void blocked_lu::permute_rows(int row0, int k, int col0, int w, const int* order) {
    if (w == 0) return;
    int moved = 0;
    while (moved < k && order[moved] == moved) ++moved;
    if (moved == k) return;
    const int pieces = double(k) * w < double(permute_pieces_from) ? 1 : thread_count();
    parallel_for(std::size_t(pieces), [&](std::size_t s) {
        const int begin = col0 + int(std::size_t(w) * s / pieces), end = col0 + int(std::size_t(w) * (s + 1) / pieces);
        const std::size_t bytes = sizeof(double) * std::size_t(end - begin);
        checked_buffer<double> aside(std::max(1, end - begin));
        checked_buffer<unsigned char> done(k);
        std::fill(done.data(), done.data() + k, 0);
        for (int i = moved; i < k; ++i) {
            if (done[i] || order[i] == i) continue;
            std::memcpy(aside.data(), at(row0 + i, begin), bytes);
            int j = i;
            for (;;) {
                done[j] = 1;
                const int source = order[j];
                if (source == i) {
                    std::memcpy(at(row0 + j, begin), aside.data(), bytes);
                    break;
                }
                std::memcpy(at(row0 + j, begin), at(row0 + source, begin), bytes);
                j = source;
            }
        }
    });
}

// A square matrix of full rank is stored plainly: row i (in pivot order) holds L's
// multipliers in columns 0 .. i-1 and U's row in columns i .. m-1, every entry a centered
// residue. Every block that factor_block meets then has at least as many rows as columns
// and a pivot in each column, so its left half has r1 = w1 < k: the move of the right
// half's multipliers to columns col0 + r1 .. is onto themselves and spends no U, the
// right half's pivot rows get U12 = L11^-1 A12 (reduced) and its other rows, factored in
// turn, the rest; a panel reduces each pivot row from its pivot on, and each multiplier.
void blocked_lu::solve_square(double* t, std::size_t ldt, int w) const {
    const int m = m_;
    checked_buffer<double> inverses(std::max(1, m));
    for (int i = 0; i < m; ++i) inverses[i] = f_.inverse_of(pivots_[i]);
    solve_unit_lower(work_.data(), std::size_t(n_), t, ldt, m, w, f_);
    solve_upper(work_.data(), std::size_t(n_), inverses.data(), t, ldt, m, w, f_);
}

residue blocked_lu::pivot_product() const {
    const std::uint64_t p = std::uint64_t(f_.p);
    residue product = 1;
    for (int t = 0; t < rank_; ++t) {
        const double v = pivots_[t];
        product = mul_mod(product, residue(v < 0 ? v + f_.p : v), p);
    }
    return product;
}

residue blocked_lu::determinant() const {
    if (rank_ < m_) return 0;
    const residue product = pivot_product();
    return product != 0 && permutation_sign(rows_.data(), m_) < 0 ? std::uint64_t(f_.p) - product : product;
}

} // namespace velmora
