// An unbounded sequence of word-size primes for the multimodular engine: the table first,
// then primes below it, found and proven when first asked for.
#pragma once

#include <cstdint>

namespace velmora {

// True when n is prime, for every n < 2^64: Miller-Rabin to the twelve prime bases 2 .. 37,
// which has no strong pseudoprime below 3.3 * 10^24.
bool is_prime_u64(std::uint64_t n);

// Prime k of the engine's sequence, k >= 0: table_prime(k) below the table's size, then
// the primes below the table's smallest, in decreasing order. Every prime of the sequence
// up to index max_engine_primes lies in (2^62 - 2^42, 2^62), so that the product of any K
// of them, K <= max_engine_primes, exceeds 2^(62 K - 1). A failed allocation for the
// sequence is the fatal report "the heap overflow".
std::uint64_t engine_prime(int k);

// The largest index count for which the product bound of engine_prime holds.
constexpr int max_engine_primes = 1 << 19;

// Number of primes of the sequence whose product exceeds 2^bits, for bits >= 0: the K with
// 62 K - 1 >= bits (at least 1).
int primes_for_bits(long bits);

} // namespace velmora
