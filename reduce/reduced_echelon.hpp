// Gauss-Jordan elimination of a rational matrix in exact arithmetic.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "rational/rational.hpp"

#include <ostream>

namespace velmora {

// Sets B to the reduced row echelon form of A, Q to an m-by-m matrix with
// B = Q * A, basis to the pivot columns in increasing order, and det to the
// product of the pivots with the sign of the row exchanges, or 0 once a
// column without pivot was met (1 when A has no rows or no columns). For
// m <= n, det is the leading m-by-m minor of A. With movie nonzero every step
// is narrated on out, with framed tables of B and Q.
void reduced_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                     matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                     int movie, std::ostream& out);

} // namespace velmora
