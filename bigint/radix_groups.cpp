#include "bigint/radix_groups.hpp"

#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

void group_size(int b, mag_word& P, int& k) {
    assert(b >= 2);
    // The three radixes of the text forms, without the divisions below.
    switch (b) {
    case 10: P = 10000000000000000000ULL, k = 19; return;
    case 16: P = mag_word(1) << 60, k = 15; return;
    case 8: P = mag_word(1) << 63, k = 21; return;
    default: break;
    }
    const mag_word radix = mag_word(b);
    P = 1;
    k = 0;
    for (mag_word t = ~mag_word(0) / radix; t != 0; t /= radix) {
        P *= radix;
        ++k;
    }
}

void radix_of_power(mag_word P, int& b, int& k) {
    assert(P >= 2);
    // The last answer is kept, one per thread: conversions ask again and again for the same P,
    // and the text of large matrices is made on several threads at once.
    thread_local mag_word last_P = 0;
    thread_local int last_b = 0, last_k = 0;
    if (P == last_P) {
        b = last_b;
        k = last_k;
        return;
    }
    for (mag_word radix = 2;; ++radix) {
        mag_word rest = P;
        int digits = 0;
        for (; rest % radix == 0; rest /= radix) ++digits;
        if (rest == 1) {
            b = last_b = int(radix);
            k = last_k = digits;
            last_P = P;
            return;
        }
    }
}

std::uint32_t groups_to_digits(const mag_word* g, std::uint32_t count, int radix, int k, unsigned char* out) {
    assert(count >= 1 && g[count - 1] != 0);
    unsigned char* end = out;
    // The top group without its leading zeros, then every other one as k digits.
    unsigned char top[mag_word_bits];
    int t = 0;
    for (mag_word v = g[count - 1]; v != 0; v /= mag_word(radix)) top[t++] = static_cast<unsigned char>(v % mag_word(radix));
    while (t > 0) *end++ = top[--t];
    for (std::uint32_t i = count - 1; i-- > 0;) {
        mag_word v = g[i];
        for (int j = k; j-- > 0; v /= mag_word(radix)) end[j] = static_cast<unsigned char>(v % mag_word(radix));
        end += k;
    }
    return std::uint32_t(end - out);
}

std::uint32_t mag_to_groups_by_words(mag_word* a, mag_word* out, std::uint32_t n, mag_word P) {
    assert(n >= 1 && a[n - 1] != 0 && P >= 2);
    std::uint32_t count = 0;
    while (n != 0) {
        out[count++] = mag_div_word(a, a, n, P);
        n = mag_length(a, n);
    }
    return count;
}

std::uint32_t groups_to_mag_by_words(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
    n = mag_length(g, n);
    if (n == 0) return 0;
    out[0] = g[n - 1];
    std::uint32_t length = 1;
    // Each step is out = out * P + group; the value stays below P^n <= 2^(64n).
    for (std::uint32_t i = n - 1; i-- > 0;) {
        const mag_word carry = mag_mul_word_add(out, out, length, P, g[i]);
        if (carry != 0) out[length++] = carry;
    }
    return length;
}

} // namespace velmora
