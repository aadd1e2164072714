// The reduced row echelon form of a matrix of full row rank modulo a prime below 2^22, on
// its known pivot columns, by the blocked elimination in doubles (blocked_lu.hpp): the
// per-prime image of an exact solution for large matrices.
#pragma once

#include "diag/checked_buffer.hpp"
#include "modular/blocked_lu.hpp"
#include "modular/residue.hpp"

#include <cstdint>

namespace velmora {

// For an m-by-n matrix W (m <= n) of centered residues modulo p and m columns P of it
// (increasing) on which it is nonsingular: the result of modular_lu::reduced_form, when P
// are W's pivot columns. W_P (W on P, rows in order) is factored, with the pivot rows that
// modular_lu takes on W: the Schur complement of W in column P[t] after t steps is that of
// W_P in column t, the steps before being those of P[0 .. t-1]. Then R_N = W_P^-1 W_N (W_N
// the other columns) and, when asked, W_P^-1, by blocked triangular solves.
class blocked_reduced_form {
public:
    blocked_reduced_form(int m, int n, bool with_q);

    // Returns false when W_P is singular modulo p (W is then unchanged). Else W and q are
    // written as modular_lu::reduced_form writes them, as centered residues: row rows[t] of
    // W gets row t of R = W_P^-1 W (1 on column P[t], 0 on the other pivot columns), and q
    // (m-by-m, when with_q) gets in row rows[t], column u, the entry of row t of W_P^-1
    // that belongs to row rows[u]; rows = pivot_rows().
    bool make(double* w, const int* cols, std::uint32_t p, double* q);

    const int* pivot_rows() const { return square_.pivot_rows(); }
    // The determinant of W_P modulo p, in [0, p).
    residue determinant() const { return square_.determinant(); }

private:
    int m_, n_;
    bool with_q_;
    blocked_lu square_;
    checked_buffer<double> packed_;  // W_P, then the right-hand sides
    checked_buffer<int> others_;     // the columns not in P, increasing
};

} // namespace velmora
