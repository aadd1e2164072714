#include "bigint/mag.hpp"

#include <cassert>

namespace velmora {

namespace {

constexpr std::uint64_t word_base = std::uint64_t(1) << 32;

// u[0 .. n] -= q * v[0 .. n - 1]. Returns 1 when the subtraction borrowed out of u[n].
mag_word multiply_subtract(mag_word* u, const mag_word* v, std::uint32_t n, std::uint64_t q) {
    std::uint64_t carry = 0;
    std::uint64_t borrow = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t p = v[i] * q + carry;
        const std::uint64_t t = std::uint64_t(u[i]) - mag_word(p) - borrow;
        u[i] = mag_word(t);
        carry = p >> 32;
        borrow = (t >> 32) & 1;
    }
    const std::uint64_t t = std::uint64_t(u[n]) - carry - borrow;
    u[n] = mag_word(t);
    return mag_word((t >> 32) & 1);
}

// u[0 .. n - 1] += v[0 .. n - 1]; the carry out of the top word is dropped.
void add_back(mag_word* u, const mag_word* v, std::uint32_t n) {
    std::uint64_t carry = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint64_t t = std::uint64_t(u[i]) + v[i] + carry;
        u[i] = mag_word(t);
        carry = t >> 32;
    }
}

} // namespace

mag_word mag_div_word(const mag_word* a, mag_word* q, std::uint32_t n, mag_word d) {
    assert(n >= 1 && d != 0);
    std::uint64_t r = 0;
    for (std::uint32_t i = n; i-- > 0;) {
        const std::uint64_t t = (r << 32) | a[i];
        q[i] = mag_word(t / d);
        r = t % d;
    }
    return mag_word(r);
}

std::uint32_t mag_divide(mag_word* u, mag_word* v, mag_word* q, std::uint32_t m, std::uint32_t n) {
    assert(n >= 2 && m >= n && v[n - 1] != 0);
    // Scaling both operands by d brings v's top word to at least 2^31, which keeps every
    // quotient estimate below at most two too large.
    const mag_word d = v[n - 1] == 0xFFFFFFFFu ? 1 : mag_word(word_base / (std::uint64_t(v[n - 1]) + 1));
    [[maybe_unused]] const mag_word v_carry = mag_mul_word_add(v, v, n, d, 0);
    assert(v_carry == 0 && v[n - 1] >= 0x80000000u);
    u[m] = mag_mul_word_add(u, u, m, d, 0);

    const std::uint64_t top = v[n - 1];
    const std::uint64_t second = v[n - 2];
    for (std::uint32_t j = m - n + 1; j-- > 0;) {
        mag_word* uj = u + j;
        std::uint64_t q_hat;
        std::uint64_t r_hat;
        if (uj[n] < top) {
            const std::uint64_t head = (std::uint64_t(uj[n]) << 32) | uj[n - 1];
            q_hat = head / top;
            r_hat = head % top;
        } else {
            q_hat = word_base - 1;
            r_hat = std::uint64_t(uj[n - 1]) + top;
        }
        while (r_hat < word_base && q_hat * second > ((r_hat << 32) | uj[n - 2])) {
            --q_hat;
            r_hat += top;
        }
        if (multiply_subtract(uj, v, n, q_hat) != 0) {
            --q_hat;
            add_back(uj, v, n);
        }
        q[j] = mag_word(q_hat);
    }

    [[maybe_unused]] const mag_word rest = mag_div_word(u, u, n, d);
    assert(rest == 0);
    return mag_length(u, n);
}

} // namespace velmora
