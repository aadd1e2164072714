#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>
#include <functional>

namespace velmora {

namespace {

// True when the n words at out lie wholly before or after the m words at a.
[[maybe_unused]] bool disjoint(const mag_word* out, std::uint32_t n, const mag_word* a, std::uint32_t m) {
    const std::less<const mag_word*> before;
    return !before(out, a + m) || !before(a, out + n);
}

} // namespace

mag_word mag_mul(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t na, std::uint32_t nb) {
    assert(na >= 1 && nb >= 1);
    assert(disjoint(out, na + nb, a, na) && disjoint(out, na + nb, b, nb));
    std::fill(out, out + na, mag_word(0));
    for (std::uint32_t j = 0; j < nb; ++j) {
        // a[i] * b[j] + out[i + j] + carry stays below 2^128.
        const mag_word bj = b[j];
        mag_word* row = out + j;
        mag_word carry = 0;
        for (std::uint32_t i = 0; i < na; ++i) {
            const mag_dword t = mag_dword(a[i]) * bj + row[i] + carry;
            row[i] = mag_word(t);
            carry = mag_word(t >> mag_word_bits);
        }
        row[na] = carry;
    }
    return out[na + nb - 1];
}

mag_word mag_mul_word_add(const mag_word* a, mag_word* out, std::uint32_t n, mag_word m, mag_word c) {
    mag_word carry = c;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_dword t = mag_dword(a[i]) * m + carry;
        out[i] = mag_word(t);
        carry = mag_word(t >> mag_word_bits);
    }
    return carry;
}

mag_word mag_mul_word(const mag_word* a, mag_word* out, std::uint32_t n, mag_word m) {
    assert(n >= 1);
    out[n] = mag_mul_word_add(a, out, n, m, 0);
    return out[n];
}

} // namespace velmora

namespace velmora {

namespace {

void balanced_product(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t n, mag_word* scratch);

// Scratch words of balanced_product for n-word operands.
std::size_t balanced_scratch(std::uint32_t n) {
    if (n >= mag_toom3_threshold) {
        // Five products of k, k + 1 and n - 2k words, on top of the evaluations and the
        // products' arrays.
        const std::uint32_t k = (n + 2) / 3;
        return 12 * std::size_t(k) + 12 +
               std::max({balanced_scratch(k + 1), balanced_scratch(k), balanced_scratch(n - 2 * k)});
    }
    if (n >= mag_karatsuba_threshold) {
        const std::uint32_t h = n / 2, high = n - h;
        return 6 * std::size_t(high) + 1 + std::max(balanced_scratch(high), balanced_scratch(h));
    }
    return 0;
}

// |x - y| of the n-word x and the m-word y (m <= n) into out (n words); returns -1 when
// y > x, else +1.
int absolute_difference(const mag_word* x, std::uint32_t n, const mag_word* y, std::uint32_t m, mag_word* out) {
    const std::uint32_t ly = mag_length(y, m);
    const std::uint32_t lx = mag_length(x, n);
    bool y_larger = ly > lx;
    if (ly == lx && ly != 0) y_larger = mag_cmp(x, y, lx) < 0;
    std::fill(out, out + n, mag_word(0));
    if (y_larger) {
        std::copy_n(y, ly, out);
        mag_sub(out, x, ly, lx == 0 ? 1 : lx);
        return -1;
    }
    std::copy_n(x, lx, out);
    if (ly != 0) mag_sub(out, y, lx, ly);
    return 1;
}

// out = a * b in 2n words, both of n words, with the subtractive form of Karatsuba's method:
// with a = a1 B^h + a0 and b = b1 B^h + b0, a0 b1 + a1 b0 = a0 b0 + a1 b1 - (a1 - a0)(b1 - b0).
void karatsuba(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t n, mag_word* scratch) {
    const std::uint32_t h = n / 2, high = n - h;
    mag_word* da = scratch;
    mag_word* db = da + high;
    mag_word* middle = db + high;    // 2 high words
    mag_word* sum = middle + 2 * high; // 2 high + 1 words
    mag_word* deeper = sum + 2 * high + 1;

    balanced_product(a, b, out, h, deeper);                    // a0 b0 in out[0, 2h)
    balanced_product(a + h, b + h, out + 2 * h, high, deeper); // a1 b1 in out[2h, 2n)
    const int sign = absolute_difference(a + h, high, a, h, da) * absolute_difference(b + h, high, b, h, db);
    balanced_product(da, db, middle, high, deeper);

    // sum = a0 b0 + a1 b1 - sign * |a1 - a0| |b1 - b0|, never negative.
    std::copy_n(out + 2 * h, 2 * high, sum);
    sum[2 * high] = 0;
    mag_add(sum, out, 2 * high, 2 * h);
    if (sign > 0) mag_sub(sum, middle, 2 * high + 1, 2 * high);
    else mag_add(sum, middle, 2 * high + 1, 2 * high);
    const std::uint32_t len = mag_length(sum, 2 * high + 1);
    if (len != 0) mag_add(out + h, sum, 2 * n - h, len);
}


// x = x / 3 over n words, modulo 2^(64n) (exact for any multiple of 3 in two's complement).
void divide_by_3(mag_word* x, std::uint32_t n) {
    constexpr mag_word inverse_of_3 = 0xaaaaaaaaaaaaaaabu; // 3 * inverse = 1 modulo 2^64
    mag_word borrow = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_word w = x[i];
        const mag_word t = w - borrow;
        const mag_word q = t * inverse_of_3;
        x[i] = q;
        // 3 q = t + 2^64 h: the high word h and the borrow of t go on.
        borrow = mag_word((mag_dword(q) * 3) >> mag_word_bits) + (w < borrow);
    }
}

// x = x / 2 over n words in two's complement (an arithmetic shift of an even value).
void halve_signed(mag_word* x, std::uint32_t n) {
    const mag_word sign = x[n - 1] & (mag_word(1) << 63);
    mag_rshift(x, x, n, 1);
    x[n - 1] |= sign;
}

// x (n words) = -x in two's complement.
void negate(mag_word* x, std::uint32_t n) {
    mag_word carry = 1;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_word v = ~x[i] + carry;
        carry = carry != 0 && v == 0;
        x[i] = v;
    }
}

// out = a * b in 2n words, both of n words, by Toom's 3-way method with Bodrato's sequence:
// with x = 2^(64k), a = a2 x^2 + a1 x + a0 is evaluated at 0, 1, -1, -2 and infinity, and
// so is b; the five products give the product's coefficients r0 .. r4 by
//   r3 = (r(-2) - r(1)) / 3, r1 = (r(1) - r(-1)) / 2, r2 = r(-1) - r(0),
//   r3 = (r2 - r3) / 2 + 2 r(inf), r2 = r2 + r1 - r(inf), r1 = r1 - r3,
// each exact. The intermediate values may be negative: they are kept in two's complement
// over 2k + 2 words, which holds every one of them (the largest, r(-2), is below 49 x^2).
void toom3(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t n, mag_word* scratch) {
    const std::uint32_t k = (n + 2) / 3, top = n - 2 * k, w = 2 * k + 2;
    mag_word* a_plus = scratch;                // a(1), then a(-2)
    mag_word* b_plus = a_plus + (k + 1);       // b(1), then b(-2)
    mag_word* a_minus = b_plus + (k + 1);      // |a(-1)|
    mag_word* b_minus = a_minus + (k + 1);     // |b(-1)|
    mag_word* even = b_minus + (k + 1);        // a0 + a2, then b0 + b2 (k + 1 words)
    mag_word* twice = even + (k + 1);          // 2 a1 or 2 b1 (k + 1 words)
    mag_word* r1 = twice + (k + 1);            // w words each
    mag_word* rm1 = r1 + w;
    mag_word* rm2 = rm1 + w;
    mag_word* deeper = rm2 + w;

    // r(-1) = a(-1) b(-1), then r(1) = a(1) b(1).
    int sign_m1 = 1;
    for (int side = 0; side < 2; ++side) {
        const mag_word* x = side == 0 ? a : b;
        mag_word* plus = side == 0 ? a_plus : b_plus;
        mag_word* minus = side == 0 ? a_minus : b_minus;
        even[k] = mag_add_to(even, x, k, x + 2 * k, top);
        sign_m1 *= absolute_difference(even, k + 1, x + k, k, minus);
        plus[k] = even[k] + mag_add_to(plus, even, k, x + k, k);
    }
    balanced_product(a_minus, b_minus, rm1, k + 1, deeper);
    balanced_product(a_plus, b_plus, r1, k + 1, deeper);
    // r(-2) = a(-2) b(-2), with a(-2) = (a0 + 4 a2) - 2 a1.
    int sign_m2 = 1;
    for (int side = 0; side < 2; ++side) {
        const mag_word* x = side == 0 ? a : b;
        mag_word* value = side == 0 ? a_plus : b_plus;
        std::fill(twice, twice + k + 1, mag_word(0));
        twice[top] = mag_lshift(twice, x + 2 * k, top, 2);
        even[k] = mag_add_to(even, x, k, twice, top + 1 <= k ? top + 1 : k);
        if (top + 1 > k) even[k] += twice[k];
        twice[k] = mag_lshift(twice, x + k, k, 1);
        sign_m2 *= absolute_difference(even, k + 1, twice, k + 1, value);
    }
    balanced_product(a_plus, b_plus, rm2, k + 1, deeper);
    // r(0) and r(inf) in place.
    balanced_product(a, b, out, k, deeper);
    std::fill(out + 2 * k, out + 4 * k, mag_word(0));
    balanced_product(a + 2 * k, b + 2 * k, out + 4 * k, top, deeper);
    if (sign_m1 < 0) negate(rm1, w);
    if (sign_m2 < 0) negate(rm2, w);

    const mag_word* r0 = out;
    const mag_word* rinf = out + 4 * k;
    mag_word* r3 = rm2;
    mag_word* r2 = rm1;
    mag_sub_to(r3, r3, w, r1, w);                    // r3 = (r(-2) - r(1)) / 3
    divide_by_3(r3, w);
    mag_sub_to(r1, r1, w, rm1, w);                   // r1 = (r(1) - r(-1)) / 2
    halve_signed(r1, w);
    mag_sub_to(r2, rm1, w, r0, 2 * k);               // r2 = r(-1) - r(0)
    mag_sub_to(r3, r3, w, r2, w);                    // r3 = (r2 - r3) / 2 + 2 r(inf)
    negate(r3, w);
    halve_signed(r3, w);
    mag_add_to(r3, r3, w, rinf, 2 * top);
    mag_add_to(r3, r3, w, rinf, 2 * top);
    mag_add_to(r2, r2, w, r1, w);                    // r2 = r2 + r1 - r(inf)
    mag_sub_to(r2, r2, w, rinf, 2 * top);
    mag_sub_to(r1, r1, w, r3, w);                    // r1 = r1 - r3

    // out = r0 + r1 x + r2 x^2 + r3 x^3 + r4 x^4; r0 and r4 are in place, and the sum
    // fits the 2n words.
    const mag_word* middle[] = {r1, r2, r3};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const std::uint32_t len = mag_length(middle[i], w);
        const std::uint32_t at = (i + 1) * k;
        if (len != 0) mag_add_to(out + at, out + at, 2 * n - at, middle[i], std::min(len, 2 * n - at));
    }
}

// out = a * b in 2n words, both of n words, by the method for their length.
void balanced_product(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t n, mag_word* scratch) {
    if (n >= mag_toom3_threshold) toom3(a, b, out, n, scratch);
    else if (n >= mag_karatsuba_threshold) karatsuba(a, b, out, n, scratch);
    else mag_mul(a, b, out, n, n);
}

} // namespace

std::size_t mag_mul_scratch(std::uint32_t na, std::uint32_t nb) {
    if (nb < mag_karatsuba_threshold) return 0;
    // One product of nb-word chunks at a time, plus a shorter last chunk.
    const std::uint32_t last = na % nb;
    std::size_t tail = last == 0 ? 0 : mag_mul_scratch(nb, last);
    return 2 * std::size_t(nb) + std::max(balanced_scratch(nb), tail);
}

mag_word mag_mul_fast(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t na, std::uint32_t nb,
                      mag_word* scratch) {
    assert(na >= nb && nb >= 1);
    assert(disjoint(out, na + nb, a, na) && disjoint(out, na + nb, b, nb));
    if (nb < mag_karatsuba_threshold) return mag_mul(a, b, out, na, nb);
    if (na == nb) {
        balanced_product(a, b, out, nb, scratch);
        return out[na + nb - 1];
    }
    // a in chunks of nb words, each product added in at its place.
    std::fill(out, out + na + nb, mag_word(0));
    mag_word* chunk_product = scratch;
    mag_word* deeper = scratch + 2 * std::size_t(nb);
    for (std::uint32_t at = 0; at < na; at += nb) {
        const std::uint32_t len = std::min(nb, na - at);
        if (len == nb) balanced_product(a + at, b, chunk_product, nb, deeper);
        else mag_mul_fast(b, a + at, chunk_product, nb, len, deeper);
        const std::uint32_t product_len = mag_length(chunk_product, len + nb);
        if (product_len != 0) mag_add(out + at, chunk_product, na + nb - at, product_len);
    }
    return out[na + nb - 1];
}

} // namespace velmora
