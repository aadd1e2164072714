// The sequence of word-size primes that the multimodular engine draws from: the largest
// primes below 2^62 in decreasing order, found by a sieve and proven by Miller-Rabin when
// first asked for.
#pragma once

#include <cstdint>

namespace velmora {

// True when n is prime, for every n < 2^64: Miller-Rabin to the twelve prime bases 2 .. 37,
// which has no strong pseudoprime below 3.3 * 10^24.
bool is_prime_u64(std::uint64_t n);

// The largest index count for which the product bound of engine_prime holds.
constexpr int max_engine_primes = 1 << 19;

// Bits that every prime of the sequence contributes to a product, short by at most one bit
// over the whole sequence (see engine_prime).
constexpr int engine_prime_bits = 62;

// Prime k of the engine's sequence, 0 <= k < max_engine_primes: the k-th largest prime below
// 2^62 (k = 0 is the largest). Every one lies in (2^62 - 2^42, 2^62), so that the product of
// any K of them exceeds 2^(62 K - 1). Safe to call from several threads at once: the first
// call for a prime not yet found extends the sequence under a lock, and the primes found
// never move. A failed allocation for the sequence is the fatal report "the heap overflow".
std::uint64_t engine_prime(int k);

// Number of primes of the sequence whose product exceeds 2^bits, for bits >= 0: the K with
// 62 K - 1 >= bits (at least 1).
int primes_for_bits(long bits);

} // namespace velmora
