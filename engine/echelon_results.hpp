// The results of the multimodular engine for a rational matrix, filled from the exact
// solutions for its rows scaled to integers: at full row rank, below it, and for a tall
// matrix asked for det; with the helpers that the integer results share.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/thread_pool.hpp"
#include "engine/engine_request.hpp"
#include "engine/pivot_guess.hpp"
#include "engine/rank_profile.hpp"
#include "rational/rational.hpp"

#include <algorithm>
#include <cstddef>

namespace velmora {

// basis := the pivot columns cols[0 .. count-1], or 0 .. count-1 when cols is null.
void set_basis(vector<int>& basis, int count, const int* cols = nullptr);

// The rows of a (m-by-n) listed in rows[0 .. count-1], in that order, as a count-by-n array.
void copy_rows(const big_int* a, int n, const int* rows, int count, big_int* out);

// The longest of x[0 .. count-1] in words, and at least 1.
std::size_t longest_words(const big_int* x, std::size_t count);

// body(first, last) for blocks of the rows 0 .. count-1, one block per thread.
template <class Body>
void in_row_blocks(int count, Body body) {
    const int blocks = std::max(1, std::min(count, thread_count()));
    parallel_for(std::size_t(blocks), [&](std::size_t b) {
        body(int(std::size_t(count) * b / blocks), int(std::size_t(count) * (b + 1) / blocks));
    });
}

// Both output matrices could be given their sizes.
template <class T>
bool sized(const matrix<T>& M, int m, int n) {
    return M.rows() == m && M.cols() == n;
}

// The rows of a rational matrix as integers: row i times the lcm of its denominators,
// which changes neither the rank nor the pivot columns nor B.
struct scaled_rows {
    explicit scaled_rows(const matrix<rational<big_int>>& A);

    int m, n;
    checked_buffer<big_int> a;
    checked_buffer<big_int> lcms;
    big_int product;  // of the lcms
    bool valid = true;
};

// Full row rank, proven: B, Q, basis and det from the solution for all rows.
void full_row_rank_results(const scaled_rows& sr, matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q,
                           vector<int>& basis, rational<big_int>& det, const engine_request& request);

// Below full row rank (r < m): B, Q, basis and det from a profile (rank r, pivot columns,
// independent rows). When the profile is the unproven one of a single prime, its rank and
// columns are proven here or refuted (false, nothing set): the solution for r independent
// rows gives their reduced form R exactly, and when every other row lies in the span of R
// (checked exactly), R spans the row space, so r is the rank and R's pivot columns are the
// pivot columns; the pivot sequence found on the profile's columns is then the true one.
//
// B is the reduced form of any r rows that span the row space, padded with zero rows. Q is
// fixed by the pivot rows s_0 .. s_{r-1} and the final order of the others: with a = the
// scaled rows, its row t < r is the inverse of a on rows s and the pivot columns (placed
// in the columns s_u), times the lcms of those rows; the row at a later position k, holding
// row i, is the unit vector of i minus c(i) placed in the columns s_u, where
// c(i) = a[i, P] a[s, P]^-1 (the combination of pivot rows that clears row i's pivot
// columns) scaled as the row: c(i)_u L(s_u) / L(i).
//
// det is 0 unless A is tall with independent columns: then it is the product of the
// pivots the search chose, with the sign of the exchanges.
//
// made: the search in doubles already made on all n columns (see find_pivot_sequence).
bool deficient_results(const scaled_rows& sr, const rank_profile& profile, bool proven,
                       matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q, vector<int>& basis,
                       rational<big_int>& det, const engine_request& request, const pivot_guess* made = nullptr);

// A tall matrix (m > n) asked for det but not Q: its search in doubles on all columns,
// when proven (see prove_guessed_sequence), takes n rows on which the matrix is
// nonsingular. So the rank is n, every column is a pivot column, B = [I; 0], and det is
// the minor on those rows with the sign of the search's exchanges. False when the guess
// is not complete or not proven; tried then points to it (for find_pivot_sequence).
bool tall_results(const scaled_rows& sr, pivot_guess& made, const pivot_guess*& tried,
                  matrix<rational<big_int>>& B, vector<int>& basis, rational<big_int>& det,
                  const engine_request& request);

} // namespace velmora
