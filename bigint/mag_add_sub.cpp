#include "bigint/mag.hpp"

#include <cassert>

namespace velmora {

namespace {

// The common body of mag_add and mag_sub: a ±= b over nb words, then the carry or borrow
// ripples through a's remaining words until it dies out. Returns the carry or borrow (0 or 1)
// that leaves a's top word. The high half of a wrapped double-word difference is all ones
// exactly when it borrowed, as the high half of a sum is 1 exactly when it carried.
template <bool subtract>
mag_word add_or_subtract(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    mag_word carry = 0;
    std::uint32_t i = 0;
    for (; i < nb; ++i) {
        const mag_dword t = subtract ? mag_dword(a[i]) - b[i] - carry : mag_dword(a[i]) + b[i] + carry;
        a[i] = mag_word(t);
        carry = mag_word(t >> mag_word_bits) & 1;
    }
    for (; carry != 0 && i < na; ++i) {
        const mag_word before = a[i];
        a[i] = subtract ? before - 1 : before + 1;
        carry = subtract ? before == 0 : a[i] == 0;
    }
    return carry;
}

} // namespace

std::uint32_t mag_add(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    if (add_or_subtract<false>(a, b, na, nb) == 0) return na;
    a[na] = 1;
    return na + 1;
}

int mag_sub(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return int(add_or_subtract<true>(a, b, na, nb));
}

std::uint32_t mag_length(const mag_word* a, std::uint32_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    return n;
}

} // namespace velmora
