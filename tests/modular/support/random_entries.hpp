// Random integer entries for the tests of the kernels modulo a prime p below 2^22.
#pragma once

#include "bigint/big_int.hpp"

#include <cstdint>
#include <random>
#include <vector>

namespace velmora {

// count entries of one kind, drawn by gen: in [-9, 9], in [0, 2], in [-p, p), or of these
// last some multiplied up to several words.
std::vector<big_int> random_entries(std::mt19937_64& gen, std::size_t count, std::uint32_t p);

} // namespace velmora
