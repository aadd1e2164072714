// Seeded random integer matrices for the reduction tests, including matrices of
// a chosen rank built by rank-preserving row operations.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"

#include <random>

namespace velmora::testing {

// An m-by-n matrix of rank at most r (exactly r with high probability): r random
// rows with entries in [-range, range], the other rows random combinations of
// them, then the rows shuffled.
matrix<big_int> random_rank_matrix(std::mt19937& gen, int m, int n, int r, int range);

// An m-by-n matrix with entries in [-range, range], about a zero_percent share of them 0.
matrix<big_int> random_matrix(std::mt19937& gen, int m, int n, int range, int zero_percent);

} // namespace velmora::testing
