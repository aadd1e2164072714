#include "modular/reduce_mod.hpp"

#include "diag/checked_buffer.hpp"

#include <cassert>

namespace velmora {

namespace {

// w mod p for one word. For the engine's primes, in (2^61, 2^62), the quotient is below
// 8 and a few subtractions beat a division; a smaller p takes the division (subtracting
// would take up to 2^64 / p steps).
residue word_mod(mag_word w, std::uint64_t p) {
    if (p <= (std::uint64_t(1) << 61)) return w % p;
    while (w >= p) w -= p;
    return w;
}

// 2^(64 j) mod p for j = 1 .. 4, as Shoup factors.
struct word_powers {
    explicit word_powers(std::uint64_t p) {
        residue t = static_cast<residue>((static_cast<unsigned __int128>(1) << 64) % p);
        for (int j = 0; j < 4; ++j) {
            power[j] = make_shoup_factor(t, p);
            t = mul_shoup(t, power[0], p);
        }
    }
    shoup_factor power[4];
};

// s mod p for s < 4p.
residue below_four_p(std::uint64_t s, std::uint64_t p) {
    s = s >= 2 * p ? s - 2 * p : s;
    return s >= p ? s - p : s;
}

// |x| mod p by Horner's rule in steps of four words from the top: each step is
// acc 2^256 + d3 2^192 + d2 2^128 + d1 2^64 + d0, five products by fixed factors
// (Shoup's method, which takes any word) of which only one waits for the last step.
residue magnitude_mod(const big_int_rep& r, std::uint64_t p, const word_powers& w) {
    const mag_word* d = r.digits;
    std::uint32_t k = r.len;
    residue acc = 0;
    // The words above the last multiple of four, one at a time.
    while (k % 4 != 0) {
        --k;
        acc = add_mod(mul_shoup(acc, w.power[0], p), word_mod(d[k], p), p);
    }
    while (k > 0) {
        k -= 4;
        const residue block = below_four_p(word_mod(d[k], p) + mul_shoup(d[k + 1], w.power[0], p) +
                                               mul_shoup(d[k + 2], w.power[1], p) + mul_shoup(d[k + 3], w.power[2], p),
                                           p);
        acc = add_mod(mul_shoup(acc, w.power[3], p), block, p);
    }
    return acc;
}

residue signed_mod(const big_int_rep& r, residue v, std::uint64_t p) { return r.sign < 0 && v != 0 ? p - v : v; }

} // namespace

residue reduce_mod(const big_int& x, std::uint64_t p) {
    const big_int_rep& r = x.rep();
    if (r.len == 0) return 0;
    if (r.len == 1) return signed_mod(r, word_mod(r.digits[0], p), p);
    return signed_mod(r, magnitude_mod(r, p, word_powers(p)), p);
}

void reduce_mod_all(const big_int* a, std::size_t count, std::uint64_t p, residue* out) {
    const word_powers powers(p);
    for (std::size_t e = 0; e < count; ++e) {
        const big_int_rep& r = a[e].rep();
        if (r.len == 0) out[e] = 0;
        else if (r.len == 1) out[e] = signed_mod(r, word_mod(r.digits[0], p), p);
        else out[e] = signed_mod(r, magnitude_mod(r, p, powers), p);
    }
}

} // namespace velmora
