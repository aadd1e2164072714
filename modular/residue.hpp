// Arithmetic modulo a prime p < 2^62 in 64-bit words (the primes of prime_source.hpp).
// Residues are kept in [0, p).
#pragma once

#include <cstdint>

namespace velmora {

using residue = std::uint64_t;

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

// The factors that fold a sum of products, up to three words, back below p: 1, 2^64 and
// 2^128 modulo p as Shoup factors.
struct fold_factors {
    std::uint64_t p;
    shoup_factor one, two_64, two_128;
};

inline fold_factors make_fold_factors(std::uint64_t p) {
    const shoup_factor one = make_shoup_factor(1, p);
    const residue t64 = static_cast<residue>((static_cast<unsigned __int128>(1) << 64) % p);
    return {p, one, make_shoup_factor(t64, p), make_shoup_factor(mul_mod(t64, t64, p), p)};
}

// The sum of x[u] y[u] over u < len, modulo p, for residues below p < 2^62: the products
// are added in 128 bits, sixteen at a time (each is below 2^124, so sixteen cannot
// overflow), carried into a third word, and the sum is reduced once at the end.
inline residue dot_mod(const residue* x, const residue* y, int len, const fold_factors& f) {
    std::uint64_t lo = 0, hi = 0, top = 0;
    for (int u = 0; u < len;) {
        const int end = len - u > 16 ? u + 16 : len;
        unsigned __int128 block = 0;
        for (; u < end; ++u) block += static_cast<unsigned __int128>(x[u]) * y[u];
        const unsigned __int128 sum = ((static_cast<unsigned __int128>(hi) << 64) | lo) + block;
        top += sum < block;
        lo = static_cast<std::uint64_t>(sum);
        hi = static_cast<std::uint64_t>(sum >> 64);
    }
    residue r = mul_shoup(lo, f.one, f.p);
    r = add_mod(r, mul_shoup(hi, f.two_64, f.p), f.p);
    return add_mod(r, mul_shoup(top, f.two_128, f.p), f.p);
}

} // namespace velmora
