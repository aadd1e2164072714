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

// Scratch words of karatsuba for n-word operands.
std::size_t square_scratch(std::uint32_t n) {
    if (n < mag_karatsuba_threshold) return 0;
    const std::uint32_t high = n - n / 2;
    return 6 * std::size_t(high) + 1 + square_scratch(high);
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
    if (n < mag_karatsuba_threshold) {
        mag_mul(a, b, out, n, n);
        return;
    }
    const std::uint32_t h = n / 2, high = n - h;
    mag_word* da = scratch;
    mag_word* db = da + high;
    mag_word* middle = db + high;    // 2 high words
    mag_word* sum = middle + 2 * high; // 2 high + 1 words
    mag_word* deeper = sum + 2 * high + 1;

    karatsuba(a, b, out, h, deeper);                       // a0 b0 in out[0, 2h)
    karatsuba(a + h, b + h, out + 2 * h, high, deeper);    // a1 b1 in out[2h, 2n)
    const int sign = absolute_difference(a + h, high, a, h, da) * absolute_difference(b + h, high, b, h, db);
    karatsuba(da, db, middle, high, deeper);

    // sum = a0 b0 + a1 b1 - sign * |a1 - a0| |b1 - b0|, never negative.
    std::copy_n(out + 2 * h, 2 * high, sum);
    sum[2 * high] = 0;
    mag_add(sum, out, 2 * high, 2 * h);
    if (sign > 0) mag_sub(sum, middle, 2 * high + 1, 2 * high);
    else mag_add(sum, middle, 2 * high + 1, 2 * high);
    const std::uint32_t len = mag_length(sum, 2 * high + 1);
    if (len != 0) mag_add(out + h, sum, 2 * n - h, len);
}

} // namespace

std::size_t mag_mul_scratch(std::uint32_t na, std::uint32_t nb) {
    if (nb < mag_karatsuba_threshold) return 0;
    // One product of nb-word chunks at a time, plus a shorter last chunk.
    const std::uint32_t last = na % nb;
    std::size_t tail = last == 0 ? 0 : mag_mul_scratch(nb, last);
    return 2 * std::size_t(nb) + std::max(square_scratch(nb), tail);
}

mag_word mag_mul_fast(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t na, std::uint32_t nb,
                      mag_word* scratch) {
    assert(na >= nb && nb >= 1);
    assert(disjoint(out, na + nb, a, na) && disjoint(out, na + nb, b, nb));
    if (nb < mag_karatsuba_threshold) return mag_mul(a, b, out, na, nb);
    if (na == nb) {
        karatsuba(a, b, out, nb, scratch);
        return out[na + nb - 1];
    }
    // a in chunks of nb words, each product added in at its place.
    std::fill(out, out + na + nb, mag_word(0));
    mag_word* chunk_product = scratch;
    mag_word* deeper = scratch + 2 * std::size_t(nb);
    for (std::uint32_t at = 0; at < na; at += nb) {
        const std::uint32_t len = std::min(nb, na - at);
        if (len == nb) karatsuba(a + at, b, chunk_product, nb, deeper);
        else mag_mul_fast(b, a + at, chunk_product, nb, len, deeper);
        const std::uint32_t product_len = mag_length(chunk_product, len + nb);
        if (product_len != 0) mag_add(out + at, chunk_product, na + nb - at, product_len);
    }
    return out[na + nb - 1];
}

} // namespace velmora
