#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

__extension__ typedef __int128 signed_dword;

// q = n / d for 0 <= n, 0 < d, by subtraction when the quotient is small (the usual case
// in Euclid's algorithm), else by division.
std::int64_t small_quotient(std::int64_t n, std::int64_t d) {
    if ((n >> 2) < d) {
        std::int64_t q = 0;
        for (; n >= d; n -= d) ++q;
        return q;
    }
    return n / d;
}

// The 62 bits of x (n words) from bit `at` upwards; x has no bits above at + 62.
std::int64_t leading_bits(const mag_word* x, std::uint32_t n, std::uint32_t at) {
    const std::uint32_t word = at / 64, bit = at % 64;
    if (word >= n) return 0;
    mag_word v = x[word] >> bit;
    if (bit != 0 && word + 1 < n) v |= x[word + 1] << (64 - bit);
    return std::int64_t(v & ((mag_word(1) << 62) - 1));
}

// out = a x - b y over n words, for a, b < 2^63 and a result known to be nonnegative and
// below 2^(64n). out may be x or y.
void combine(mag_word* out, const mag_word* x, const mag_word* y, std::uint32_t n, mag_word a, mag_word b) {
    signed_dword carry = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const signed_dword t = carry + signed_dword(mag_dword(a) * x[i]) - signed_dword(mag_dword(b) * y[i]);
        out[i] = mag_word(t);
        carry = t >> 64;
    }
    assert(carry == 0);
}

// out = p x + q y for cofactors of opposite signs (or one of them 0), as combine.
void combine_signed(mag_word* out, const mag_word* x, const mag_word* y, std::uint32_t n, std::int64_t p,
                    std::int64_t q) {
    if (q <= 0) combine(out, x, y, n, mag_word(p), mag_word(-q));
    else combine(out, y, x, n, mag_word(q), mag_word(-p));
}

} // namespace

mag_word mag_word_gcd(mag_word a, mag_word b) {
    if (a == 0) return b;
    if (b == 0) return a;
    const int twos = __builtin_ctzll(a | b);
    a >>= __builtin_ctzll(a);
    while (b != 0) {
        b >>= __builtin_ctzll(b);
        if (a > b) std::swap(a, b);
        b -= a;
    }
    return a << twos;
}

std::size_t mag_gcd_scratch(std::uint32_t na) { return 5 * (std::size_t(na) + 1); }

std::uint32_t mag_gcd(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb,
                      mag_word* scratch) {
    assert(na >= nb && nb >= 1 && a[na - 1] != 0 && b[nb - 1] != 0);
    if (na == nb && mag_cmp(a, b, na) < 0) std::swap(a, b);
    const std::size_t size = std::size_t(na) + 1;
    mag_word* u = scratch;
    mag_word* v = u + size;
    mag_word* t = v + size;
    mag_word* w = t + size;
    mag_word* q = w + size; // quotients of the single divisions, not needed
    std::uint32_t nu = na, nv = nb;
    std::copy_n(a, nu, u);
    std::copy_n(b, nv, v);

    // Lehmer's method (Knuth's Algorithm L). Invariant: u >= v > 0 here, and the gcd of u and
    // v is the gcd sought.
    while (nv > 1) {
        const std::uint32_t bits = 64 * nu - std::uint32_t(__builtin_clzll(u[nu - 1]));
        const std::uint32_t at = bits - 62;
        std::int64_t x = leading_bits(u, nu, at), y = leading_bits(v, nv, at);
        // Euclid's steps on the leading bits while the quotient is certain (the same for both
        // bounds of the ratio); A, B, C, D are the cofactors: u' = A u + B v, v' = C u + D v.
        std::int64_t A = 1, B = 0, C = 0, D = 1;
        while (y + C > 0 && y + D > 0) {
            const std::int64_t quotient = small_quotient(x + A, y + C);
            // The same quotient for the other bound: q (y + D) <= x + B < (q + 1)(y + D).
            const signed_dword low = signed_dword(quotient) * (y + D);
            if (low > x + B || x + B - low >= y + D) break;
            std::int64_t s = A - quotient * C;
            A = C;
            C = s;
            s = B - quotient * D;
            B = D;
            D = s;
            s = x - quotient * y;
            x = y;
            y = s;
        }
        if (B == 0) {
            // Not a single certain step: one division of the whole numbers, (u, v) = (v, u mod v).
            std::copy_n(u, nu, t);
            std::copy_n(v, nv, w); // mag_divide scales its divisor
            const std::uint32_t rest = mag_divide(t, w, q, nu, nv);
            std::swap(u, v);
            std::swap(v, t);
            nu = nv;
            nv = rest;
            continue;
        }
        std::fill(v + nv, v + nu, mag_word(0));
        combine_signed(t, u, v, nu, A, B);
        combine_signed(w, u, v, nu, C, D);
        std::swap(u, t);
        std::swap(v, w);
        nv = mag_length(v, nu);
        nu = mag_length(u, nu);
    }
    if (nv == 1) {
        out[0] = mag_word_gcd(v[0], mag_div_word(u, u, nu, v[0]));
        return 1;
    }
    std::copy_n(u, nu, out);
    return nu;
}

} // namespace velmora
