// The primes of the kernels in doubles: the largest primes below 2^22, in decreasing order,
// each found by a complete sieve when first asked for.
#pragma once

#include <cstdint>

namespace velmora {

// The largest index count of the sequence.
constexpr int max_float_primes = 1 << 17;

// Bits that every prime of the sequence contributes to a product: each lies in
// (2^21, 2^22), so the product of any K of them exceeds 2^(21 K).
constexpr int float_prime_bits = 21;

// Prime k of the sequence, 0 <= k < max_float_primes: the k-th largest prime below 2^22
// (k = 0 is the largest, 4194301). Safe to call from several threads at once.
std::uint32_t float_prime(int k);

// Number of primes of the sequence whose product exceeds 2^bits, for bits >= 0: the least
// K >= 1 with 21 K >= bits.
int float_primes_for_bits(long bits);

} // namespace velmora
