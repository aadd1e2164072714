// The largest-magnitude pivot search run in doubles: a guess of the pivot rows that the
// exact search chooses, and a proof, still in doubles, that the guess is that choice.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"

namespace velmora {

// The search carried out in doubles on X, the m-by-r rational matrix whose row k is row k
// of the integer matrix a (row-major, n columns) on the columns cols[0 .. r-1], divided by
// scales[k] > 0.
struct pivot_guess {
    pivot_guess(int m, int r)
        : rows(r > 0 ? r : 1), values(std::size_t(m) * r, uninitialised), factors(std::size_t(m) * r, uninitialised),
          settled(std::size_t(m) * r), m(m), r(r) {}

    // rows[t]: the row taken at step t.
    checked_buffer<int> rows;
    // X in doubles, row k at k * r: each entry within a relative 2^-50 (guess_value_error)
    // of the exact one.
    // values and factors are written by guess_pivot_rows (on its threads) before any read.
    checked_buffer<double> values;
    // The factors the search found, row k at k * r: the multipliers of row k in the columns
    // before its step (all r columns for a row never taken), and for pivot row rows[t] its
    // row of U from column t on.
    checked_buffer<double> factors;
    // settled[k * r + t]: row k was compared with the chosen row of step t exactly (its
    // double was within a relative 2^-30 of the largest).
    checked_buffer<unsigned char> settled;
    int m, r;
    // Set when guess_pivot_rows ran to the end (it returned true).
    bool complete = false;
    // Whether near ties are compared exactly (settled). A search that only factors X, for a
    // bound on its determinant, takes the largest double among them instead.
    bool settle_ties = true;
};

// The relative error bound of the entries of X in doubles (pivot_guess::values), from the
// top two words of the integer and of its scale and one division.
constexpr double guess_value_error = 0x1p-50;

// Steps at which guess_pivot_rows compares near ties exactly: at step t each row in a near
// tie costs a minor of order t + 1, so the exact comparisons stop at this step, and a near
// tie beyond it leaves the sequence to the exact search on primes.
constexpr int exact_steps = 24;

// The matrix of the integer matrix a (row-major, n columns) on the rows rows[0 .. order-1]
// and the columns cols[0 .. order-1], in those orders: order-by-order, row-major, in block.
void block_on(const big_int* a, int n, const int* rows, const int* cols, int order, big_int* block);

// The determinant of that matrix (a minor of a).
big_int minor_on(const big_int* a, int n, const int* rows, const int* cols, int order);

// Runs the search in doubles. At a step where other rows come within a relative 2^-30 of
// the largest value, those rows are compared exactly, by their minors (as the exact
// search compares them), for steps below exact_steps; beyond, the guess is given up.
// False when an entry is beyond the range of doubles, a column has no nonzero entry left
// or a near tie falls beyond exact_steps; guess is then unspecified.
bool guess_pivot_rows(const big_int* a, int n, const big_int* scales, const int* cols, pivot_guess& guess);

// True only if the exact search on X takes guess.rows[t] at every step t: every other row
// without pivot is either settled exactly or strictly smaller. False when the
// doubles cannot show it (near ties, ill-conditioned pivots): the guess may still be right.
// When it returns true and det_bits is given, *det_bits is set to a b with
// |det X_P| < 2^b, X_P the matrix X on the guessed rows (in order); else it is left alone.
//
// The proof's matrix products are taken by rows of the search's own loops, or, from a few
// hundred rows, on the seam of the per-prime kernel (a BLAS where one is configured); the
// proof holds for any order of their sums, so either serves, and tests force one.
enum class proof_products { by_size, rows, seam };
bool prove_pivot_rows(const pivot_guess& guess, long* det_bits = nullptr,
                      proof_products products = proof_products::by_size);

// For a complete guess on a square X (m == r): sets bits to a b with |det X| < 2^b and
// returns true, or returns false when the doubles cannot show a finite bound that way. It
// needs no margins of the search: any rows and factors serve, and their quality decides
// only how tight the bound is (see the proof in pivot_proof.cpp).
bool bound_guessed_determinant(const pivot_guess& guess, long& bits,
                               proof_products products = proof_products::by_size);

// False when prove_pivot_rows cannot succeed, because some pivot of the guess is too small
// beside the entries of X (as they are for a matrix that is singular on the guessed rows,
// whose last pivots are rounding errors); a cheap test, before the work that the proof
// would decide.
bool may_prove_pivot_rows(const pivot_guess& guess);

} // namespace velmora
