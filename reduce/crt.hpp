// Chinese remaindering of many integers from their residues modulo the same primes.
#pragma once

#include "bigint/big_int.hpp"
#include "reduce/modular.hpp"

#include <cstddef>

namespace velmora {

// residues holds k rows of count residues: row s are the values modulo primes[s]
// (distinct primes below 2^62). Sets out[e], for e < count, to the integer x with
// x = residues[s * count + e] (mod primes[s]) for every s and |x| < M / 2, M being the
// product of the primes. residues is overwritten (with mixed-radix digits).
// Pre: k >= 1.
void reconstruct_symmetric(residue* residues, const std::uint64_t* primes, int k, std::size_t count,
                           big_int* out);

} // namespace velmora
