#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// The common body of addition and subtraction: out = a ± b over nb words, then the carry or
// borrow ripples through a's remaining words until it dies out, and the rest of a is copied.
// Returns the carry or borrow (0 or 1) that leaves a's top word. The high half of a wrapped
// double-word difference is all ones exactly when it borrowed, as the high half of a sum is 1
// exactly when it carried.
template <bool subtract>
mag_word add_or_subtract(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    mag_word carry = 0;
    std::uint32_t i = 0;
    for (; i < nb; ++i) {
        const mag_dword t = subtract ? mag_dword(a[i]) - b[i] - carry : mag_dword(a[i]) + b[i] + carry;
        out[i] = mag_word(t);
        carry = mag_word(t >> mag_word_bits) & 1;
    }
    for (; carry != 0 && i < na; ++i) {
        const mag_word before = a[i];
        out[i] = subtract ? before - 1 : before + 1;
        carry = subtract ? before == 0 : out[i] == 0;
    }
    if (out != a) std::copy(a + i, a + na, out + i);
    return carry;
}

} // namespace

std::uint32_t mag_add(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    if (add_or_subtract<false>(a, a, na, b, nb) == 0) return na;
    a[na] = 1;
    return na + 1;
}

int mag_sub(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return int(add_or_subtract<true>(a, a, na, b, nb));
}

mag_word mag_add_to(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return add_or_subtract<false>(out, a, na, b, nb);
}

mag_word mag_sub_to(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return add_or_subtract<true>(out, a, na, b, nb);
}

int mag_cmp(const mag_word* a, const mag_word* b, std::uint32_t n) {
    while (n > 0) {
        --n;
        if (a[n] != b[n]) return a[n] < b[n] ? -1 : 1;
    }
    return 0;
}

} // namespace velmora
