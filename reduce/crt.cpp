#include "reduce/crt.hpp"

#include "bigint/build.hpp"
#include "bigint/mag.hpp"
#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

constexpr int word_bits = 8 * sizeof(mag_word);
// Words of a magnitude per 64-bit word.
constexpr std::uint32_t words_per_limb = 64 / word_bits;
static_assert(word_bits == 32 || word_bits == 64, "mag_word is 32 or 64 bits");

// x := x * m + c over n words, m and c below 2^62; returns the new length (x has room for
// n + words_per_limb words). Pre: x[0 .. n-1] trimmed or n = 0.
std::uint32_t mul_add_limb(mag_word* x, std::uint32_t n, std::uint64_t m, std::uint64_t c) {
    if (n == 0) {
        // c >>= 64 would be undefined: shift by halves.
        for (; c != 0; c = (c >> (word_bits / 2)) >> (word_bits / 2)) x[n++] = static_cast<mag_word>(c);
        return n;
    }
    if constexpr (word_bits == 64) {
        const mag_word carry = mag_mul_word_add(x, x, n, mag_word(m), mag_word(c));
        if (carry != 0) x[n++] = carry;
        return n;
    } else {
        unsigned __int128 carry = c;
        for (std::uint32_t k = 0; k < n; ++k) {
            carry += static_cast<unsigned __int128>(x[k]) * m;
            x[k] = static_cast<mag_word>(carry);
            carry >>= word_bits;
        }
        for (; carry != 0; carry >>= word_bits) x[n++] = static_cast<mag_word>(carry);
        return n;
    }
}

// -1, 0, +1 as a (na words) is below, equal to or above b (nb words); both trimmed.
int compare_mag(const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    if (na != nb) return na < nb ? -1 : 1;
    for (std::uint32_t k = na; k-- > 0;)
        if (a[k] != b[k]) return a[k] < b[k] ? -1 : 1;
    return 0;
}

// Mixed-radix digits in place: afterwards x = d_0 + d_1 p_0 + d_2 p_0 p_1 + ... with
// d_s = residues[s * count + e] in [0, p_s) (Garner's method).
void mixed_radix_digits(residue* residues, const std::uint64_t* primes, int k, std::size_t count) {
    checked_buffer<residue> acc(count);
    for (int t = 1; t < k; ++t) {
        const std::uint64_t p = primes[t];
        // acc = d_0 + d_1 p_0 + ... + d_{t-1} p_0 ... p_{t-2} mod p, by Horner from the top.
        const residue* top = residues + std::size_t(t - 1) * count;
        for (std::size_t e = 0; e < count; ++e) acc[e] = top[e] % p;
        residue modulus_product = primes[0] % p;  // p_0 ... p_{t-1} mod p
        for (int u = t - 2; u >= 0; --u) {
            const shoup_factor pu = make_shoup_factor(primes[u] % p, p);
            const residue* digits = residues + std::size_t(u) * count;
            for (std::size_t e = 0; e < count; ++e) {
                const residue d = digits[e] >= p ? digits[e] - p : digits[e];  // d < p_u < 2p
                acc[e] = add_mod(mul_shoup(acc[e], pu, p), d, p);
            }
        }
        for (int u = 1; u < t; ++u) modulus_product = mul_mod(modulus_product, primes[u] % p, p);
        const shoup_factor inverse = make_shoup_factor(inverse_mod(modulus_product, p), p);
        residue* row = residues + std::size_t(t) * count;
        for (std::size_t e = 0; e < count; ++e) row[e] = mul_shoup(sub_mod(row[e], acc[e], p), inverse, p);
    }
}

} // namespace

void reconstruct_symmetric(residue* residues, const std::uint64_t* primes, int k, std::size_t count,
                           big_int* out) {
    assert(k >= 1);
    mixed_radix_digits(residues, primes, k, count);
    const std::uint32_t room = std::uint32_t(k + 1) * words_per_limb;
    // M and half = (M - 1) / 2 (M is odd): x is taken as x - M when x > half.
    checked_buffer<mag_word> modulus(room), half(room), x(room), difference(room);
    std::uint32_t nm = 0;
    nm = mul_add_limb(modulus.data(), nm, 0, 1);
    for (int s = 0; s < k; ++s) nm = mul_add_limb(modulus.data(), nm, primes[s], 0);
    mag_div_word(modulus.data(), half.data(), nm, 2);
    const std::uint32_t nh = mag_length(half.data(), nm);
    for (std::size_t e = 0; e < count; ++e) {
        std::uint32_t n = 0;
        for (int s = k - 1; s >= 0; --s)
            n = mul_add_limb(x.data(), n, s == k - 1 ? 0 : primes[s], residues[std::size_t(s) * count + e]);
        if (n == 0) {
            out[e] = big_int();
            continue;
        }
        if (compare_mag(x.data(), n, half.data(), nh) > 0) {
            for (std::uint32_t w = 0; w < nm; ++w) difference[w] = modulus[w];
            mag_sub(difference.data(), x.data(), nm, n);
            out[e] = copied_value(-1, difference.data(), nm);
            continue;
        }
        out[e] = copied_value(1, x.data(), n);
    }
}

} // namespace velmora
