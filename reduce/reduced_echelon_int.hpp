// Fraction-free Gauss-Jordan elimination of an integer matrix.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"

#include <ostream>

namespace velmora {

// Sets B to the fraction-free reduced row echelon form of A (an r-by-r diagonal
// of positive entries in the pivot columns, zeros elsewhere in those columns,
// rows r..m-1 zero), Q to an integer m-by-m matrix with B = Q * A, basis to the
// pivot columns, and det to the minor of A on the pivot columns when every row
// has a pivot, 0 when the rank is below the row count (1 when A has no rows).
// Every row of B together with the same row of Q has content 1. With movie
// nonzero every step is narrated on out, with framed tables of B and Q.
void reduced_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                         vector<int>& basis, big_int& det, int movie, std::ostream& out);

} // namespace velmora
