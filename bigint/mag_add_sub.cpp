#include "bigint/mag.hpp"

#include <cassert>

namespace velmora {

namespace {

// The common body of mag_add and mag_sub: a ±= b over nb words, then the carry or borrow
// ripples through a's remaining words until it dies out. Returns the carry or borrow (0 or 1)
// that leaves a's top word. Bit 32 of a wrapped 64-bit difference is set exactly when it
// borrowed, as bit 32 of a sum is set exactly when it carried.
template <bool subtract>
mag_word add_or_subtract(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb) {
    std::uint64_t carry = 0;
    std::uint32_t i = 0;
    for (; i < nb; ++i) {
        const std::uint64_t t = subtract ? std::uint64_t(a[i]) - b[i] - carry
                                         : std::uint64_t(a[i]) + b[i] + carry;
        a[i] = mag_word(t);
        carry = (t >> 32) & 1;
    }
    for (; carry != 0 && i < na; ++i) {
        const std::uint64_t t = subtract ? std::uint64_t(a[i]) - carry : std::uint64_t(a[i]) + carry;
        a[i] = mag_word(t);
        carry = (t >> 32) & 1;
    }
    return mag_word(carry);
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
