// Arithmetic modulo a prime p < 2^62 in 64-bit words, and the table of primes the
// multimodular elimination draws from. Residues are kept in [0, p).
#pragma once

#include <cstdint>

namespace velmora {

using residue = std::uint64_t;

// Number of primes in the table.
constexpr int prime_table_size = 2048;

// Prime k of the table, 0 <= k < prime_table_size: distinct primes in decreasing
// order, each in (2^62 - 2^41, 2^62), so that the product of any K of them exceeds
// 2^(62 K - 1) for K <= prime_table_size.
std::uint64_t table_prime(int k);

// Bits that every prime of the table contributes to a product, short by at most one
// bit over the whole table (see table_prime).
constexpr int table_prime_bits = 62;

inline residue add_mod(residue a, residue b, std::uint64_t p) {
    const residue s = a + b;  // < 2^63: no wrap
    return s >= p ? s - p : s;
}

inline residue sub_mod(residue a, residue b, std::uint64_t p) { return a >= b ? a - b : a + p - b; }

inline residue mul_mod(residue a, residue b, std::uint64_t p) {
    return static_cast<residue>(static_cast<unsigned __int128>(a) * b % p);
}

// a^-1 mod p. Pre: a != 0 (mod p), p prime.
residue inverse_mod(residue a, std::uint64_t p);

// A fixed factor w < p with floor(w * 2^64 / p), for products by w that need no
// division (Shoup's method).
struct shoup_factor {
    residue w;
    std::uint64_t w_scaled;
};

inline shoup_factor make_shoup_factor(residue w, std::uint64_t p) {
    return {w, static_cast<std::uint64_t>((static_cast<unsigned __int128>(w) << 64) / p)};
}

// b * w mod p for any 64-bit b. The quotient estimate is short by at most one, so the
// remainder before the last step lies in [0, 2p).
inline residue mul_shoup(std::uint64_t b, shoup_factor w, std::uint64_t p) {
    const std::uint64_t q = static_cast<std::uint64_t>((static_cast<unsigned __int128>(b) * w.w_scaled) >> 64);
    const std::uint64_t r = b * w.w - q * p;
    return r >= p ? r - p : r;
}

} // namespace velmora
