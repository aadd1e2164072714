// LU factorisation modulo a word-size prime in the left-looking order, where every step is
// a dot product reduced once (dot_mod): the per-prime kernel of the engine.
#pragma once

#include "diag/checked_buffer.hpp"
#include "modular/residue.hpp"

#include <atomic>

namespace velmora {

namespace detail {
extern std::atomic<long> factorisations;
// Called at the start of every per-prime factorisation.
inline void count_factorisation() { factorisations.fetch_add(1, std::memory_order_relaxed); }
} // namespace detail

// How many factorisations (modular_lu::factor, half_word_lu::factor) this process has
// started, on any thread: for telling whether a run did any elimination modulo a prime.
inline long factorisations_started() { return detail::factorisations.load(std::memory_order_relaxed); }

// For an m-by-n matrix W of residues modulo p (row-major, left unchanged): the pivot
// columns, taking as pivot of each column the first row (in row order) without pivot
// whose entry of the Schur complement is nonzero, and the factors L (unit lower, by pivot
// step; the multipliers of rows without pivot are made only as far as the pivot search
// needed them) and U (the pivot rows' rows of the Schur complements, over all columns).
class modular_lu {
public:
    modular_lu(int m, int n);

    // Factors W modulo p; returns the rank r.
    int factor(const residue* W, std::uint64_t p);

    int rank() const { return rank_; }
    const int* pivot_rows() const { return rows_.data(); }  // rows_[t]: the row of pivot t
    const int* pivot_cols() const { return cols_.data(); }  // increasing
    // The product of the pivots U[t][c_t].
    residue pivot_product() const;
    // The determinant modulo p of W on the pivot columns, rows in their order: the pivot
    // product with the sign of the row order t -> rows_[t]; 0 when the rank is below m.
    residue determinant() const;

    // With rank m: the reduced row echelon form R = U_P^-1 U of W (U_P the square part of U
    // on the pivot columns) and the inverse of W on the pivot columns, written in place of
    // the rows they belong to: row rows_[t] of W gets row t of R on the non-pivot
    // columns (1 on column c_t), and q (m-by-m, row-major) gets in row rows_[t], column u,
    // the entry of row t of (W on P)^-1 that belongs to row rows_[u]. q may be null. The
    // determinant of W on P (rows in their order) modulo p goes to det.
    void reduced_form(residue* W, residue* q, residue& det);

    // With a square W of full rank: x := W^-1 y modulo p, by one forward and one back
    // substitution (y and x of m residues, x may be y).
    void solve(const residue* y, residue* x);

private:
    residue* l_row(int k) { return l_.data() + std::size_t(k) * most_; }
    residue* u_col(int j) { return u_.data() + std::size_t(j) * most_; }

    int m_, n_, most_;
    std::uint64_t p_ = 0;
    fold_factors fold_{};
    int rank_ = 0;
    int processed_ = 0;          // columns that factor looked at
    checked_buffer<residue> l_;  // row k: multipliers of row k, by pivot step
    checked_buffer<residue> u_;  // column j: U[0 .. rank-1][j]
    checked_buffer<int> rows_, cols_, step_of_row_;
    checked_buffer<int> known_;  // row k: how many of its multipliers are made (see factor)
    checked_buffer<shoup_factor> pivot_inverse_;
    // U on the pivot columns by rows, and the inverses of its diagonal, made for solve.
    checked_buffer<residue> u_p_;
    checked_buffer<shoup_factor> u_inverse_;
    bool u_p_made_ = false;
};

// +1 or -1: the sign of the permutation t -> perm[t] of 0 .. m-1.
int permutation_sign(const int* perm, int m);

} // namespace velmora
