#include "reduce/pivot_sequence.hpp"

#include "bigint/arithmetic.hpp"
#include "reduce/crt.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular.hpp"
#include "reduce/modular_echelon.hpp"
#include "reduce/prime_source.hpp"
#include "rational/gcd.hpp"

#include <algorithm>
#include <climits>

namespace velmora {

namespace {

// The elimination modulo the primes of several lanes, all following one pivot sequence.
// Lane l holds the m-by-r residues of a on the pivot columns, rows in their own order;
// after step u the rows without pivot hold the entries of the Schur complement, and d
// the product of the pivots so far (D_{u+1} modulo the prime).
class lanes {
public:
    lanes(const big_int* a, int m, int n, const int* cols, int r, int count)
        : a_(a), m_(m), n_(n), cols_(cols), r_(r), count_(count), primes_(count), d_(count),
          w_(std::size_t(count) * m * r), step_of_row_(m), pivot_rows_(r) {
        for (int k = 0; k < m; ++k) step_of_row_[k] = INT_MAX;
        for (int l = 0; l < count; ++l) start(l, 0);
    }

    int count() const { return count_; }
    std::uint64_t prime(int l) const { return primes_[l]; }

    // M_k modulo the prime of lane l at step t, for a row k without pivot.
    residue minor_residue(int l, int k, int t) const {
        return mul_mod(row(l, k)[t], d_[l], primes_[l]);
    }

    // Takes row k as pivot of step t in every lane; a lane whose prime divides the pivot's
    // minor is given a fresh prime, which repeats every step so far.
    void take(int k, int t) {
        pivot_rows_[t] = k;
        step_of_row_[k] = t;
        for (int l = 0; l < count_; ++l)
            if (!step(l, t)) start(l, t + 1);
    }

private:
    residue* row(int l, int k) { return w_.data() + (std::size_t(l) * m_ + k) * r_; }
    const residue* row(int l, int k) const { return w_.data() + (std::size_t(l) * m_ + k) * r_; }

    // Lane l with the next prime of the sequence that survives the first `steps` steps.
    void start(int l, int steps) {
        for (;;) {
            const std::uint64_t p = engine_prime(next_prime_++);
            primes_[l] = p;
            d_[l] = 1;
            for (int k = 0; k < m_; ++k) {
                residue* w = row(l, k);
                for (int c = 0; c < r_; ++c) w[c] = reduce_mod(a_[std::size_t(k) * n_ + cols_[c]], p);
            }
            int u = 0;
            while (u < steps && step(l, u)) ++u;
            if (u == steps) return;
        }
    }

    // Step u in lane l: eliminates column u from the rows without pivot below step u.
    // False when the pivot is zero modulo the lane's prime.
    bool step(int l, int u) {
        const std::uint64_t p = primes_[l];
        residue* pivot = row(l, pivot_rows_[u]);
        const residue v = pivot[u];
        if (v == 0) return false;
        d_[l] = mul_mod(d_[l], v, p);
        const shoup_factor inverse = make_shoup_factor(inverse_mod(v, p), p);
        for (int c = u + 1; c < r_; ++c) pivot[c] = mul_shoup(pivot[c], inverse, p);
        for (int k = 0; k < m_; ++k) {
            if (step_of_row_[k] <= u) continue;
            residue* w = row(l, k);
            if (w[u] == 0) continue;
            const shoup_factor f = make_shoup_factor(p - w[u], p);
            for (int c = u + 1; c < r_; ++c) w[c] = add_mod(w[c], mul_shoup(pivot[c], f, p), p);
        }
        return true;
    }

    const big_int* a_;
    int m_, n_;
    const int* cols_;
    int r_, count_;
    int next_prime_ = 0;
    checked_buffer<std::uint64_t> primes_;
    checked_buffer<residue> d_;
    checked_buffer<residue> w_;
    checked_buffer<int> step_of_row_;  // the step at which a row became pivot, INT_MAX if none
    checked_buffer<int> pivot_rows_;
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
