// Reduced row echelon forms of matrices of full row rank by multimodular
// Gauss-Jordan elimination: the same results as reduced_echelon and
// reduced_echelon_int, computed from images modulo word-size primes.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "rational/rational.hpp"

namespace velmora {

// When A has full row rank (proven by its rank modulo a prime), sets basis, det, and B
// and Q when with_b and with_q are set, to what reduced_echelon sets them to, and
// returns true. Returns
// false and leaves every output unchanged when A has no rows or no columns, more rows
// than columns, a zero denominator, a rank modulo the test prime below its row count, or
// minors too large for the prime table. Writes no report; running out of memory is the fatal report
// "the heap overflow". Pre: matrix_status is 1.
bool multimodular_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                          matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                          bool with_b, bool with_q);

// The same for reduced_echelon_int: on success basis, det, and B and Q as asked, are
// what reduced_echelon_int sets them to.
bool multimodular_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                              vector<int>& basis, big_int& det, bool with_b, bool with_q);

} // namespace velmora
