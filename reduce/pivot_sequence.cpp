#include "reduce/pivot_sequence.hpp"

#include "bigint/arithmetic.hpp"
#include "reduce/crt.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular.hpp"
#include "reduce/modular_echelon.hpp"
#include "reduce/prime_source.hpp"
#include "diag/thread_pool.hpp"
#include "rational/gcd.hpp"

#include <algorithm>
#include <climits>

namespace velmora {

namespace {

// The elimination modulo the primes of several lanes, all following one pivot sequence,
// in the left-looking order of an LU factorisation, so that every step is made of dot
// products (reduced once each) rather than of one product per entry: lane l holds the
// m-by-r residues of a on the pivot columns, rows in their own order, overwritten in
// place. After step u, a pivot row s_v (v <= u) holds its multipliers in columns < v and
// its row of U in columns >= v; a row without pivot holds its multipliers in columns
// <= u and is untouched to the right. Column t of the Schur complement is then, for a
// row k without pivot, a[k, t] - (multipliers of k) . (column t of U), and d is the
// product of the pivots so far (D_t modulo the lane's prime). U is also kept by columns.
class lanes {
public:
    lanes(const big_int* a, int m, int n, const int* cols, int r, int count)
        : a_(a), m_(m), n_(n), cols_(cols), r_(r), count_(count), primes_(count), folds_(count), d_(count),
          w_(std::size_t(count) * m * r), u_(std::size_t(count) * r * r), step_of_row_(m), pivot_rows_(r),
          dead_(count) {
        for (int k = 0; k < m; ++k) step_of_row_[k] = INT_MAX;
        for (int l = 0; l < count; ++l) start(l, 0);
    }

    int count() const { return count_; }
    std::uint64_t prime(int l) const { return primes_[l]; }

    // Brings column t of the Schur complement into the rows without pivot of lane l, at
    // step t (every earlier step taken).
    void prepare_column(int l, int t) {
        const residue* u_column = column(l, t);
        for (int k = 0; k < m_; ++k) {
            if (step_of_row_[k] < t) continue;
            residue* w = row(l, k);
            w[t] = sub_mod(w[t], dot_mod(w, u_column, t, folds_[l]), primes_[l]);
        }
    }

    // M_k modulo the prime of lane l at step t, for a row k without pivot, once the
    // column is prepared.
    residue minor_residue(int l, int k, int t) const { return mul_mod(row(l, k)[t], d_[l], primes_[l]); }

    // Takes row k as pivot of step t in every lane; a lane whose prime divides the pivot's
    // minor is given a fresh prime, which repeats every step so far.
    void take(int k, int t) {
        pivot_rows_[t] = k;
        step_of_row_[k] = t;
        // The lanes step apart, over the threads; fresh primes are then drawn in lane order.
        parallel_for(std::size_t(count_), [&](std::size_t l) { dead_[l] = !step(int(l), t); });
        for (int l = 0; l < count_; ++l)
            if (dead_[l]) start(l, t + 1);
    }

    // Brings column t of the Schur complement into every lane (see prepare_column).
    void prepare_columns(int t) {
        parallel_for(std::size_t(count_), [&](std::size_t l) { prepare_column(int(l), t); });
    }

private:
    residue* row(int l, int k) { return w_.data() + (std::size_t(l) * m_ + k) * r_; }
    const residue* row(int l, int k) const { return w_.data() + (std::size_t(l) * m_ + k) * r_; }
    residue* column(int l, int j) { return u_.data() + (std::size_t(l) * r_ + j) * r_; }

    // Lane l with the next prime of the sequence that survives the first `steps` steps.
    void start(int l, int steps) {
        for (;;) {
            const std::uint64_t p = engine_prime(next_prime_++);
            primes_[l] = p;
            folds_[l] = make_fold_factors(p);
            d_[l] = 1;
            for (int k = 0; k < m_; ++k) {
                residue* w = row(l, k);
                for (int c = 0; c < r_; ++c) w[c] = reduce_mod(a_[std::size_t(k) * n_ + cols_[c]], p);
            }
            int u = 0;
            while (u < steps) {
                prepare_column(l, u);
                if (!step(l, u)) break;
                ++u;
            }
            if (u == steps) return;
        }
    }

    // Step u in lane l, its column prepared: the pivot row's row of U, and the multipliers
    // of the rows without pivot. False when the pivot is zero modulo the lane's prime.
    bool step(int l, int u) {
        const std::uint64_t p = primes_[l];
        residue* pivot = row(l, pivot_rows_[u]);
        const residue v = pivot[u];
        if (v == 0) return false;
        d_[l] = mul_mod(d_[l], v, p);
        column(l, u)[u] = v;
        for (int j = u + 1; j < r_; ++j) {
            residue* u_column = column(l, j);
            pivot[j] = sub_mod(pivot[j], dot_mod(pivot, u_column, u, folds_[l]), p);
            u_column[u] = pivot[j];
        }
        const shoup_factor inverse = make_shoup_factor(inverse_mod(v, p), p);
        for (int k = 0; k < m_; ++k) {
            if (step_of_row_[k] <= u) continue;
            residue* w = row(l, k);
            w[u] = mul_shoup(w[u], inverse, p);
        }
        return true;
    }

    const big_int* a_;
    int m_, n_;
    const int* cols_;
    int r_, count_;
    int next_prime_ = 0;
    checked_buffer<std::uint64_t> primes_;
    checked_buffer<fold_factors> folds_;
    checked_buffer<residue> d_;
    checked_buffer<residue> w_;
    checked_buffer<residue> u_;        // lane l, column j: U[0 .. j][j]
    checked_buffer<int> step_of_row_;  // the step at which a row became pivot, INT_MAX if none
    checked_buffer<int> pivot_rows_;
    checked_buffer<unsigned char> dead_;
};

// |x| / sx > |y| / sy for sx, sy > 0, exactly.
bool larger_ratio(const big_int& x, const big_int& sx, const big_int& y, const big_int& sy) {
    return abs(x) * sy > abs(y) * sx;
}

} // namespace

bool find_pivot_sequence(const big_int* a, int m, int n, const big_int* scales, const int* cols, int r,
                         pivot_sequence& out) {
    const minor_bounds bounds(a, m, n, cols, r);
    lanes lane(a, m, n, cols, r, primes_for_bits(bounds.bits(r) + 1));
    checked_buffer<int> row_at(m);  // the row at each position
    for (int k = 0; k < m; ++k) row_at[k] = k;
    checked_buffer<big_int> minors(m);
    checked_buffer<residue> residues(std::size_t(lane.count()) * m);
    checked_buffer<std::uint64_t> primes(lane.count());
    out.exchanges = 0;
    for (int t = 0; t < r; ++t) {
        // The minors M_k of the rows at positions t .. m-1, in position order.
        const int k_t = primes_for_bits(bounds.bits(t + 1) + 1);
        const std::size_t count = std::size_t(m - t);
        lane.prepare_columns(t);
        for (int l = 0; l < k_t; ++l) {
            primes[l] = lane.prime(l);
            for (std::size_t e = 0; e < count; ++e)
                residues[std::size_t(l) * count + e] = lane.minor_residue(l, row_at[t + int(e)], t);
        }
        reconstruct_symmetric(residues.data(), primes.data(), k_t, count, minors.data());
        // The search of the elimination: strictly larger wins, so the topmost of equals.
        std::size_t best = count;
        for (std::size_t e = 0; e < count; ++e) {
            if (minors[e].rep().len == 0) continue;
            if (best == count || larger_ratio(minors[e], scales[row_at[t + int(e)]], minors[best],
                                              scales[row_at[t + int(best)]]))
                best = e;
        }
        if (best == count) return false;
        const int chosen = row_at[t + int(best)];
        if (best != 0) {
            const int displaced = row_at[t];
            row_at[t] = chosen;
            row_at[t + int(best)] = displaced;
            ++out.exchanges;
        }
        if (t == r - 1) out.minor = minors[best];
        else lane.take(chosen, t);
    }
    for (int t = 0; t < r; ++t) out.rows[t] = row_at[t];
    for (int k = 0; k < m; ++k) out.order[k] = row_at[k];
    return true;
}

} // namespace velmora
