// Chinese remaindering of many integers from their residues modulo the same primes (or
// coprime moduli).
#pragma once

#include "bigint/big_int.hpp"
#include "modular/residue.hpp"

#include <cstddef>

namespace velmora {

// Number of primes from which reconstruct_symmetric works up a product tree.
constexpr int crt_tree_threshold = 64;

// residues holds k rows of count residues: row s are the values modulo primes[s]
// (distinct primes below 2^62, or any pairwise coprime odd moduli below 2^62: only their
// inverses modulo each other are taken, by Euclid's algorithm). Sets out[e], for e < count, to the integer x with
// x = residues[s * count + e] (mod primes[s]) for every s and |x| < M / 2, M being the
// product of the primes. residues is overwritten (with mixed-radix digits).
// Pre: k >= 1. Garner's mixed-radix method below crt_tree_threshold primes, a product
// tree from there on.
void reconstruct_symmetric(residue* residues, const std::uint64_t* primes, int k, std::size_t count,
                           big_int* out);

} // namespace velmora
