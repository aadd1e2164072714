// The pivot rows that Gauss-Jordan elimination with the largest-magnitude pivot search
// chooses, found from the matrix alone, without carrying out the elimination in rationals.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "engine/pivot_guess.hpp"

namespace velmora {

struct pivot_sequence {
    pivot_sequence(int m, int r) : rows(r > 0 ? r : 1), order(m > 0 ? m : 1) {}

    // rows[t]: the row (numbered as in the matrix) that becomes pivot row t.
    checked_buffer<int> rows;
    // order[k]: the row that stands at position k when the elimination ends.
    checked_buffer<int> order;
    // How many of the steps exchanged two rows.
    int exchanges = 0;
    // The determinant of the matrix on the pivot rows (in pivot order) and the pivot
    // columns: the product of the pivots found in integer form.
    big_int minor;
};

// For the m-by-n integer matrix a (row-major) whose rows are those of a rational matrix
// multiplied by scales[i] > 0, with rank r >= 1 and (proven) pivot columns cols[0 .. r-1]:
// the rows and final order that the elimination of the rational matrix chooses when at
// each pivot column it takes the row of largest absolute value among those without pivot,
// the topmost (by current position) of equal ones, exchanging it with the row at the
// current position.
//
// At step t, with pivot rows s_0 .. s_{t-1} taken, the entry of a row k without pivot in
// column c_t is M_k / (scales[k] D_t): M_k is the minor of a on rows s_0 .. s_{t-1}, k and
// columns c_0 .. c_t, and D_t the one on s_0 .. s_{t-1} and c_0 .. c_{t-1}, the same for
// every k. So the search compares |M_k| / scales[k], exactly. The M_k are found modulo
// primes, carried through the elimination in lockstep and Chinese-remaindered with enough
// of them that their product exceeds twice a bound on minors of order t + 1. A prime that
// divides the minor of the chosen pivot cannot carry on; it is replaced by a fresh prime
// that repeats the steps so far. First, though, the search run in doubles guesses the
// sequence; every lane then follows the guess to the end on its own, and the same exact
// minors, step by step, must choose the guessed rows. A guess refuted at any step (exact
// ties, values beyond the range of doubles) leaves the lanes in lockstep to decide. Before
// any prime, though, the guess is proven in doubles where the margins of the search allow
// (see prove_pivot_rows): then only the minor, when asked for, is found exactly, as the
// determinant of the pivot rows on the pivot columns.
//
// Returns false when some listed column has no nonzero entry left in the rows without
// pivot: then cols were not the pivot columns. out.minor is set only with with_minor.
// made: a guess on these columns and scales that a caller has already made and, when it
// is complete, failed to prove (see prove_guessed_sequence); it is not made again.
bool find_pivot_sequence(const big_int* a, int m, int n, const big_int* scales, const int* cols, int r,
                         bool with_minor, pivot_sequence& out, const pivot_guess* made = nullptr);

// For a complete guess on the columns cols and scales (as for find_pivot_sequence): when
// prove_pivot_rows proves it, sets out to the sequence (with the minor when with_minor)
// and returns true; false leaves out unspecified.
bool prove_guessed_sequence(const big_int* a, int n, const big_int* scales, const int* cols,
                            const pivot_guess& guess, bool with_minor, pivot_sequence& out);

// The pivot rows and final order that the fraction-free elimination of the integer matrix
// a (m-by-n, row-major) chooses, with rank r >= 1 and (proven) pivot columns cols[0 .. r-1]:
// at each pivot column it takes the row of largest absolute value among those without
// pivot, the topmost (by current position) of equal ones, exchanging it with the row at the
// current position; every row that is not the pivot row becomes c row + e pivot row with
// c > 0, divided by the content of the row of [B | Q], so that it stays primitive.
//
// So every row k without pivot at step t is the primitive positive multiple w_k / G_k of
// the row that the elimination in rationals holds after the same pivots, w_k = |D_t| [S_k |
// Q_k] (S_k the Schur complement of row k after eliminating R_t = s_0 .. s_{t-1} on the
// pivot columns P_t so far, Q_k = e_k - c placed in R_t's columns, c = a[k, P_t]
// a[R_t, P_t]^-1, D_t = det a[R_t, P_t]) and G_k = gcd(w_k). As B = Q a, every entry of
// S_k's part is an integer combination of Q_k's, so G_k = gcd(|D_t|, D_t c), which divides
// D_t, and depends on the pivot columns alone. The entry of row k in column c_t is then
// |M_k| / G_k, M_k = D_t S_k(c_t) the minor on R_t + k and P_t + c_t: the search compares
// those values exactly. G_k divides M_k too, so gcd(D_t, M_k) = 1 gives G_k = 1 at once;
// and a row whose |M_k| is below the best value so far cannot win (G_k >= 1), so only the
// few rows whose minors come near the best need their content. The M_k and the D_t c are
// found by the lanes (see find_pivot_sequence) and Chinese-remaindered under bounds on
// minors of orders t + 1 and t. out.minor is not set. False when some listed column has no
// nonzero entry left in the rows without pivot: then cols were not the pivot columns.
bool find_integer_pivot_sequence(const big_int* a, int m, int n, const int* cols, int r, pivot_sequence& out);

} // namespace velmora
