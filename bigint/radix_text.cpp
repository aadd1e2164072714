#include "bigint/radix_text.hpp"

#include "bigint/kernel.hpp"
#include "bigint/radix_groups.hpp"
#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// Groups of s bits (P = 2^s, 1 <= s < 64): group i is bits [i s, (i + 1) s) of a.
std::uint32_t bits_to_groups(const mag_word* a, mag_word* out, std::uint32_t n, int s) {
    const std::uint64_t bits = 64 * std::uint64_t(n) - std::uint64_t(__builtin_clzll(a[n - 1]));
    const std::uint32_t count = std::uint32_t((bits + s - 1) / s);
    const mag_word mask = (mag_word(1) << s) - 1;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = std::uint64_t(i) * s;
        const std::uint32_t word = std::uint32_t(at / 64), bit = std::uint32_t(at % 64);
        mag_word v = a[word] >> bit;
        if (bit + s > 64 && word + 1 < n) v |= a[word + 1] << (64 - bit);
        out[i] = v & mask;
    }
    return count;
}

std::uint32_t groups_to_bits(const mag_word* g, mag_word* out, std::uint32_t n, int s) {
    std::fill(out, out + n, mag_word(0));
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t at = std::uint64_t(i) * s;
        const std::uint32_t word = std::uint32_t(at / 64), bit = std::uint32_t(at % 64);
        out[word] |= g[i] << bit;
        if (bit + s > 64) out[word + 1] |= g[i] >> (64 - bit);
    }
    return mag_length(out, n);
}

bool power_of_two(mag_word P) { return (P & (P - 1)) == 0; }

} // namespace

std::uint32_t mag_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix) {
    assert(n >= 1 && a[n - 1] != 0 && (radix == 8 || radix == 10 || radix == 16));
    if (radix == 10) return kernel_to_digits(a, out, n, radix);
    const int s = radix == 16 ? 60 : 63;
    checked_buffer<mag_word> groups(2 * std::size_t(n));
    const std::uint32_t count = bits_to_groups(a, groups.data(), n, s);
    return groups_to_digits(groups.data(), count, radix, s / (radix == 16 ? 4 : 3), out);
}

std::uint32_t groups_to_mag(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
    n = mag_length(g, n);
    if (n == 0) return 0;
    if (power_of_two(P)) return groups_to_bits(g, out, n, __builtin_ctzll(P));
    return kernel_from_groups(g, out, n, P);
}

} // namespace velmora
