// Residues of big integers modulo a word-size prime.
#pragma once

#include "bigint/big_int.hpp"
#include "modular/residue.hpp"

namespace velmora {

// x mod p in [0, p), for a prime p < 2^62.
residue reduce_mod(const big_int& x, std::uint64_t p);

// out[e] = a[e] mod p for e < count, p a prime below 2^62.
void reduce_mod_all(const big_int* a, std::size_t count, std::uint64_t p, residue* out);

} // namespace velmora
