#include "bigint/radix_groups.hpp"

#include <cassert>

namespace velmora {

std::uint32_t mag_to_groups(mag_word* a, mag_word* out, std::uint32_t n, mag_word P) {
    assert(n >= 1 && a[n - 1] != 0 && P >= 2);
    std::uint32_t count = 0;
    while (n != 0) {
        out[count++] = mag_div_word(a, a, n, P);
        n = mag_length(a, n);
    }
    return count;
}

std::uint32_t groups_to_mag(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
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
