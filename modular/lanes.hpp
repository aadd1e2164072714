// The elimination of an integer matrix modulo the primes of several lanes at once, all
// following one pivot sequence that the caller chooses step by step (or gives whole).
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "modular/residue.hpp"

#include <cstdint>

namespace velmora {

// The elimination modulo the primes of several lanes, all following one pivot sequence,
// in the left-looking order of an LU factorisation, so that every step is made of dot
// products (reduced once each) rather than of one product per entry: lane l holds the
// m-by-r residues of a on the pivot columns, rows in their own order, overwritten in
// place. After step u, a pivot row s_v (v <= u) holds its multipliers in columns < v and
// its row of U in columns >= v; a row without pivot holds its multipliers in columns
// <= u and is untouched to the right. Column t of the Schur complement is then, for a
// row k without pivot, a[k, t] - (multipliers of k) . (column t of U), and d is the
// product of the pivots so far (D_t modulo the lane's prime). U is also kept by columns.
// Lane l starts with prime engine_prime(l); a lane whose prime divides the minor of a
// pivot takes the next prime of the sequence not yet taken.
class lanes {
public:
    // Fresh primes a lane tries in follow once its own prime divides a pivot's minor,
    // before follow gives up (as it must when that minor is 0, whatever the prime).
    static constexpr int fresh_primes_tried = 3;

    // For the m-by-n integer matrix a (row-major) on its r columns cols (increasing), with
    // count lanes. With started set, every lane takes its first prime at once, for steps
    // taken one at a time (take); else the lanes wait for follow.
    lanes(const big_int* a, int m, int n, const int* cols, int r, int count, bool started);

    // Every lane through all r steps of the given pivot rows, one lane at a time on each
    // thread (a lane's arrays stay in its cache while it steps). A lane whose prime divides
    // a pivot's minor takes fresh primes, a few at most: false when one still fails, as it
    // does when a pivot's minor is 0 (rows that the search would never choose).
    bool follow(const int* rows);

    // After follow, in lane l: the pivot of step t, and for a row k that had no pivot before
    // step t, its entry of the Schur complement at step t divided by that pivot.
    residue pivot(int l, int t) { return column(l, t)[t]; }
    residue multiplier(int l, int k, int t) const { return row(l, k)[t]; }

    int count() const { return count_; }
    std::uint64_t prime(int l) const { return primes_[l]; }

    // Brings column t of the Schur complement into the rows without pivot of lane l, at
    // step t (every earlier step taken).
    void prepare_column(int l, int t);

    // Brings column t of the Schur complement into every lane (see prepare_column).
    void prepare_columns(int t);

    // M_k modulo the prime of lane l at step t, for a row k without pivot, once the
    // column is prepared: the minor of a on the pivot rows so far and k, and the pivot
    // columns so far and column t.
    residue minor_residue(int l, int k, int t) const { return mul_mod(row(l, k)[t], d_[l], primes_[l]); }

    // For a row k without pivot at step t (steps 0 .. t-1 taken), modulo the prime of lane
    // l: out[v] = D_t c_v for v < t, where c = a[k, P_t] a[R_t, P_t]^-1 is the combination
    // of the pivot rows R_t = s_0 .. s_{t-1} (in pivot order) that matches row k on the
    // pivot columns P_t so far, and D_t = det a[R_t, P_t]. Each D_t c_v is a minor of order
    // t of a on the pivot columns: that of R_t with s_v replaced by k (Cramer's rule).
    // With a[k, P_t] = l_k U and a[R_t, P_t] = L U (l_k the multipliers of row k, L those
    // of the pivot rows, unit lower triangular), c = l_k L^-1: one triangular solve.
    void combination_residues(int l, int k, int t, residue* out) const;

    // Takes row k as pivot of step t in every lane; a lane whose prime divides the pivot's
    // minor is given a fresh prime, which repeats every step so far.
    void take(int k, int t);

private:
    residue* row(int l, int k) { return w_.data() + (std::size_t(l) * m_ + k) * r_; }
    const residue* row(int l, int k) const { return w_.data() + (std::size_t(l) * m_ + k) * r_; }
    residue* column(int l, int j) { return u_.data() + (std::size_t(l) * r_ + j) * r_; }

    // Lane l with the next prime of the sequence that survives the first `steps` steps.
    void start(int l, int steps);

    // Lane l afresh with prime p through the first `steps` steps; false when p divides the
    // minor of one of their pivots.
    bool run(int l, std::uint64_t p, int steps);

    // Step u in lane l, its column prepared: the pivot row's row of U, and the multipliers
    // of the rows without pivot. False when the pivot is zero modulo the lane's prime.
    bool step(int l, int u);

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

} // namespace velmora
