#include "reduce/lehmer_gcd.hpp"

#include "bigint/build.hpp"
#include "rational/gcd.hpp"
#include "reduce/buffer.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>

namespace velmora {

namespace {

using limb = std::uint64_t;
constexpr int word_bits = 8 * sizeof(mag_word);
static_assert(word_bits == 32 || word_bits == 64, "mag_word is 32 or 64 bits");

std::uint32_t limb_count(const big_int& x) { return (x.rep().len * word_bits + 63) / 64; }

void to_limbs(const big_int& x, limb* out) {
    const big_int_rep& r = x.rep();
    for (std::uint32_t k = 0; k < limb_count(x); ++k) out[k] = 0;
    for (std::uint32_t k = 0; k < r.len; ++k)
        out[k * word_bits / 64] |= limb(r.digits[k]) << (k * word_bits % 64);
}

big_int from_limbs(const limb* x, std::uint32_t n) {
    const std::uint32_t words = n * (64 / word_bits);
    if (words == 0) return big_int();
    mag_word* digits = new_words(words);
    for (std::uint32_t k = 0; k < words; ++k) digits[k] = static_cast<mag_word>(x[k * word_bits / 64] >> (k * word_bits % 64));
    const big_int value = copied_value(1, digits, words);
    delete[] digits;
    return value;
}

std::uint32_t trimmed(const limb* x, std::uint32_t n) {
    while (n > 0 && x[n - 1] == 0) --n;
    return n;
}

// The bits of x from bit `shift` up, as far as they go (at most 64 of them).
limb bits_from(const limb* x, std::uint32_t n, long shift) {
    const std::uint32_t k = std::uint32_t(shift / 64), s = std::uint32_t(shift % 64);
    if (k >= n) return 0;
    limb v = x[k] >> s;
    if (s != 0 && k + 1 < n) v |= x[k + 1] << (64 - s);
    return v;
}

// x mod m for a one-word m != 0.
limb mod_word(const limb* x, std::uint32_t n, limb m) {
    unsigned __int128 r = 0;
    for (std::uint32_t k = n; k-- > 0;) r = ((r << 64) | x[k]) % m;
    return limb(r);
}

limb word_gcd(limb a, limb b) {
    while (b != 0) a = std::exchange(b, a % b);
    return a;
}

// out = u a + v b over n words (a and b zero-padded to n), for a result known to be
// nonnegative; |u|, |v| <= 2^61 keep every partial sum inside 127 bits. Returns the
// trimmed length.
std::uint32_t combine(const limb* a, const limb* b, std::uint32_t n, std::int64_t u, std::int64_t v, limb* out) {
    __int128 carry = 0;
    for (std::uint32_t k = 0; k < n; ++k) {
        carry += static_cast<__int128>(u) * static_cast<__int128>(a[k]) + static_cast<__int128>(v) * static_cast<__int128>(b[k]);
        out[k] = static_cast<limb>(carry);
        carry >>= 64;  // arithmetic shift: a floor division
    }
    return trimmed(out, n);
}

} // namespace

big_int lehmer_gcd(const big_int& x, const big_int& y) {
    if (x.rep().len == 0) return abs(y);
    if (y.rep().len == 0) return abs(x);
    const std::uint32_t room = std::max(limb_count(x), limb_count(y));
    // Four numbers of room words, each zero above its length.
    checked_buffer<limb> space(4 * std::size_t(room));
    limb *a = space.data(), *b = a + room, *t = b + room, *w = t + room;
    auto load = [&](const big_int& v, limb* to) {
        std::fill(to, to + room, limb(0));
        to_limbs(v, to);
        return trimmed(to, limb_count(v));
    };
    std::uint32_t na = load(x, a), nb = load(y, b);
    if (na < nb || (na == nb && a[na - 1] < b[nb - 1])) {
        std::swap(a, b);
        std::swap(na, nb);
    }
    // Invariant: a >= b > 0 would hold up to the leading word; gcd(a, b) is the result.
    while (nb > 1) {
        const long a_bits = long(na - 1) * 64 + std::bit_width(a[na - 1]);
        const long shift = a_bits > 61 ? a_bits - 61 : 0;
        std::int64_t ah = std::int64_t(bits_from(a, na, shift)), bh = std::int64_t(bits_from(b, nb, shift));
        // Knuth's algorithm L: the quotients of the leading bits that are certainly
        // quotients of a and b, gathered in the cofactors (A B; C D).
        std::int64_t A = 1, B = 0, C = 0, D = 1;
        while (bh + C != 0 && bh + D != 0) {
            const std::int64_t q = (ah + A) / (bh + C);
            if (q != (ah + B) / (bh + D)) break;
            A = std::exchange(C, A - q * C);
            B = std::exchange(D, B - q * D);
            ah = std::exchange(bh, ah - q * bh);
        }
        if (B == 0) {
            // Not one quotient known: a long division step.
            const big_int r = from_limbs(a, na) % from_limbs(b, nb);
            std::swap(a, b);
            na = nb;
            nb = load(r, b);
            continue;
        }
        const std::uint32_t ta = combine(a, b, na, A, B, t);
        const std::uint32_t tb = combine(a, b, na, C, D, w);
        std::fill(t + ta, t + room, limb(0));
        std::fill(w + tb, w + room, limb(0));
        std::swap(a, t);
        std::swap(b, w);
        na = ta;
        nb = tb;
    }
    if (nb == 0) return from_limbs(a, na);
    const limb g = word_gcd(b[0], mod_word(a, na, b[0]));
    return from_limbs(&g, 1);
}

} // namespace velmora
