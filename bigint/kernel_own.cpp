// The kernel on our own word arithmetic (mag.hpp).
#include "bigint/kernel.hpp"

#include "bigint/radix_groups.hpp"
#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

const char* kernel_name() { return "own"; }

mag_word kernel_add(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    return mag_add_to(out, a, na, b, nb);
}

mag_word kernel_sub(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    return mag_sub_to(out, a, na, b, nb);
}

mag_word kernel_mul(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    const std::size_t scratch_words = mag_mul_scratch(na, nb);
    if (scratch_words == 0) return mag_mul(a, b, out, na, nb);
    checked_buffer<mag_word> scratch(scratch_words);
    return mag_mul_fast(a, b, out, na, nb, scratch.data());
}

mag_word kernel_div_word(mag_word* q, const mag_word* a, std::uint32_t n, mag_word d) {
    return mag_div_word(a, q, n, d);
}

std::uint32_t kernel_divrem(mag_word* q, mag_word* r, const mag_word* a, std::uint32_t na, const mag_word* b,
                            std::uint32_t nb) {
    assert(na >= nb && nb >= 2 && b[nb - 1] != 0);
    const std::uint32_t quotient_words = na - nb + 1;
    // The normalised dividend (with two words of room above it), the divisor, the quotient
    // when it is not wanted, and the division's own scratch, in one array.
    const std::size_t extra = mag_divide_fast_scratch(na, nb);
    checked_buffer<mag_word> scratch(std::size_t(na) + 2 + nb + (q == nullptr ? quotient_words : 0) + extra);
    mag_word* u = scratch.data();
    mag_word* v = u + na + 2;
    mag_word* spare = v + nb;
    std::copy_n(a, na, u);
    std::copy_n(b, nb, v);
    mag_word* quotient = q != nullptr ? q : spare;
    const std::uint32_t rest = mag_divide_fast(u, v, quotient, na, nb, spare + (q == nullptr ? quotient_words : 0));
    if (r != nullptr) std::copy_n(u, nb, r);
    return rest;
}

namespace {

// Hensel's division costs about nb * qn word products, division by recursion on halves
// about qn / nb divisions of 2nb by nb words. Measured (processor time, 2n by n and 5n by n
// words): Hensel's 1.2 times faster for a balanced quotient up to 768 words and slower from
// 1024; for a quotient four times the divisor, faster at 128 words and slower from 256.
constexpr std::uint32_t hensel_balanced_limit = 900;
constexpr std::uint32_t hensel_unbalanced_limit = 200;

bool hensel_pays(std::uint32_t nb, std::uint32_t qn) {
    return nb < (qn < 2 * nb ? hensel_balanced_limit : hensel_unbalanced_limit);
}

} // namespace

void kernel_divexact(mag_word* q, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    if (!hensel_pays(nb, na - nb + 1)) {
        kernel_divrem(q, nullptr, a, na, b, nb);
        return;
    }
    if (nb == 1 && (b[0] & 1) != 0) {
        // An odd word needs no scratch.
        mag_divexact(q, a, na, b, nb, nullptr);
        return;
    }
    checked_buffer<mag_word> scratch(nb);
    mag_divexact(q, a, na, b, nb, scratch.data());
}

std::uint32_t kernel_gcd(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    checked_buffer<mag_word> scratch(mag_gcd_scratch(na));
    return mag_gcd(out, a, na, b, nb, scratch.data());
}

std::uint32_t kernel_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix) {
    mag_word P;
    int k;
    group_size(radix, P, k);
    checked_buffer<mag_word> groups(2 * std::size_t(n));
    const std::uint32_t count = mag_to_groups_by_powers(a, groups.data(), n, P);
    return groups_to_digits(groups.data(), count, radix, k, out);
}

std::uint32_t kernel_from_groups(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
    return groups_to_mag_by_powers(g, out, n, P);
}

} // namespace velmora
