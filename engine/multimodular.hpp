// Reduced row echelon forms by multimodular elimination: the same results as
// reduced_echelon and reduced_echelon_int, computed from images modulo word-size primes
// and Chinese remaindering, with every choice the images make proven.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "engine/engine_request.hpp"
#include "rational/rational.hpp"

namespace velmora {

// Sets what `request` asks for among B, Q, basis and det to what reduced_echelon sets them
// to, and returns true; the others are left as they are. Returns false, having changed
// nothing, for a matrix without rows or columns or with a zero denominator (left to
// reduced_echelon, which reports nothing for them either). Writes no report; running out
// of memory is the fatal report "the heap overflow". Pre: matrix_status is 1.
bool multimodular_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                          matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                          const engine_request& request);

// The same for reduced_echelon_int. Below full row rank the row scales of B and Q follow
// the pivot rows that its elimination picks, which are found exactly from A (see
// find_integer_pivot_sequence).
bool multimodular_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                              vector<int>& basis, big_int& det, const engine_request& request);

} // namespace velmora
