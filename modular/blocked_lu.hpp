// The rank profile of a matrix modulo a prime below 2^22 by a blocked, recursive
// elimination whose Schur updates are matrix products in doubles (float_products.hpp):
// the per-prime kernel for large matrices.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "modular/float_products.hpp"
#include "modular/residue.hpp"

#include <cstddef>
#include <cstdint>

namespace velmora {

// For an m-by-n integer matrix a (row-major): the pivots that modular_lu takes, by the same
// rule (for each column in turn, the first row in row order without a pivot whose entry of
// the Schur complement is nonzero), so the same pivot rows, columns and pivots for the
// same prime; found by recursion on halves of the columns.
//
// Why the rule is kept. Factoring the left half L of a block's columns first takes, for the
// columns of L, exactly the pivots of the whole block: which row is the pivot of a column
// depends only on the Schur complement in that column, made from the columns before it.
// The right half's entries of the rows with a pivot then become U12 = L11^-1 A12 (a
// triangular solve) and those of the other rows their Schur complement S = A22 - L21 U12,
// in their row order; every column of the right half takes its pivot from S by the same
// rule, recursively. Each block returns its rows reordered as its pivot rows in pivot
// order, then the others in their old order; a caller moves the rest of those rows' entries
// likewise, so the order among rows without pivot is never changed.
//
// A tall matrix (more rows than columns) is first factored on its leading n rows. When
// every column gets a pivot there, those pivots are the whole matrix's: by induction on the
// columns, each pivot is the first row of the whole matrix with a nonzero entry, the rows
// below being later in row order. Otherwise twice the rows are taken, up to all of them,
// so that a tall matrix whose leading rows are independent costs its leading square.
class blocked_lu {
public:
    blocked_lu(int m, int n);

    // Factors a modulo p (a prime of float_primes.hpp); returns the rank r.
    int factor(const big_int* a, std::uint32_t p);
    // The same for a held as doubles (see exact_in_doubles): for many primes, faster.
    int factor(const double* a, std::uint32_t p);

    int rank() const { return rank_; }
    const int* pivot_rows() const { return rows_.data(); }  // rows_[t]: the row of pivot t
    const int* pivot_cols() const { return cols_.data(); }  // increasing
    // The product of the pivots modulo p, in [0, p).
    residue pivot_product() const;
    // The determinant modulo p of a on the pivot columns, rows in their order: the pivot
    // product with the sign of the row order t -> rows_[t]; 0 when the rank is below m.
    residue determinant() const;

    // With a square matrix a factored at full rank: T := U^-1 L^-1 T modulo p for the
    // m-by-w block T at t (row stride ldt) of centered residues, where L U (L unit lower,
    // U upper) is a with its rows in pivot order: row i of L U is row rows_[i] of a. So
    // when row i of T is row rows_[i] of Y, T becomes the X with a X = Y.
    void solve_square(double* t, std::size_t ldt, int w) const;

private:
    template <class Load>
    int factor_rows(std::uint32_t p, Load load);
    int factor_block(int row0, int k, int col0, int w, int step0, int* order);
    int factor_panel(int row0, int k, int col0, int w, int step0, int* order);
    void solve_lower(int row0, int r, int l_col0, int t_col0, int w);
    void permute_rows(int row0, int k, int col0, int w, const int* order);
    double* at(int i, int j) { return work_.data() + std::size_t(i) * n_ + j; }

    int m_, n_;
    float_modulus f_{3};
    int rank_ = 0;
    checked_buffer<double> work_;  // the rows in factoring, row stride n_
    checked_buffer<double> pivots_;
    checked_buffer<int> rows_, cols_, order_;
};

// Writes the count integers at a to out as doubles, exactly, and returns true when every
// one lies below 2^52 in absolute value (else false, out spent).
bool exact_in_doubles(const big_int* a, std::size_t count, double* out);

// out[e] := a[e] modulo p (a prime of float_primes.hpp) as a centered residue, for e <
// count: from the integers, or from integers held as doubles by exact_in_doubles.
void centered_residues(const big_int* a, std::size_t count, std::uint32_t p, double* out);
void centered_residues(const double* a, std::size_t count, std::uint32_t p, double* out);

} // namespace velmora
