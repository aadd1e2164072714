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
