#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

void mag_divexact(mag_word* q, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb,
                  mag_word* scratch) {
    assert(na >= nb && nb >= 1 && b[nb - 1] != 0);
    const std::uint32_t qn = na - nb + 1;
    // b = 2^t b' with b' odd; then a = 2^t a' and q = a' / b'. Only the low qn words of a'
    // matter, since q < 2^(64 qn) and the division works modulo 2^(64 qn).
    std::uint32_t zero_words = 0;
    while (b[zero_words] == 0) ++zero_words;
    const int bits = __builtin_ctzll(b[zero_words]);
    const mag_word* odd = b + zero_words;
    std::uint32_t n_odd = nb - zero_words;
    const mag_word* from = a + zero_words;
    const std::uint32_t n_from = na - zero_words;
    for (std::uint32_t i = 0; i < qn; ++i) {
        mag_word w = i < n_from ? from[i] : 0;
        if (bits != 0) w = (w >> bits) | (i + 1 < n_from ? from[i + 1] << (64 - bits) : 0);
        q[i] = w;
    }
    if (bits != 0) {
        for (std::uint32_t i = 0; i < n_odd; ++i)
            scratch[i] = (odd[i] >> bits) | (i + 1 < n_odd ? odd[i + 1] << (64 - bits) : 0);
        odd = scratch;
        n_odd = mag_length(scratch, n_odd);
    }

    // Hensel's division from the low end: each quotient word makes the lowest word of the
    // running remainder zero, and takes its place.
    const mag_word inverse = inverse_mod_word(odd[0]);
    for (std::uint32_t i = 0; i < qn; ++i) {
        const mag_word qi = q[i] * inverse;
        // q[i + 1 ..] -= qi * odd / 2^64, truncated to the qn words; the low word of the
        // product equals q[i], so it cancels exactly and only its high word carries on.
        mag_word carry = mag_word((mag_dword(odd[0]) * qi) >> mag_word_bits);
        const std::uint32_t end = std::min(qn, i + n_odd);
        std::uint32_t j = i + 1;
        for (; j < end; ++j) {
            const mag_dword p = mag_dword(odd[j - i]) * qi + carry;
            const mag_word low = mag_word(p), before = q[j];
            q[j] = before - low;
            carry = mag_word(p >> mag_word_bits) + (low > before);
        }
        for (; carry != 0 && j < qn; ++j) {
            const mag_word before = q[j];
            q[j] = before - carry;
            carry = before < carry;
        }
        q[i] = qi;
    }
}

} // namespace velmora
