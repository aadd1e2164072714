#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// u[0 .. n] -= q * v[0 .. n - 1]. Returns 1 when the subtraction borrowed out of u[n].
mag_word multiply_subtract(mag_word* u, const mag_word* v, std::uint32_t n, mag_word q) {
    // The borrow of each word joins the carry of the product: the high word of
    // v[i] * q + carry is at most 2^64 - 2, so one more still fits.
    mag_word carry = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_dword p = mag_dword(v[i]) * q + carry;
        const mag_word low = mag_word(p), before = u[i];
        u[i] = before - low;
        carry = mag_word(p >> mag_word_bits) + (low > before);
    }
    const mag_word before = u[n];
    u[n] = before - carry;
    return carry > before;
}

// u[0 .. n - 1] += v[0 .. n - 1]; the carry out of the top word is dropped.
void add_back(mag_word* u, const mag_word* v, std::uint32_t n) {
    mag_word carry = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_dword t = mag_dword(u[i]) + v[i] + carry;
        u[i] = mag_word(t);
        carry = mag_word(t >> mag_word_bits);
    }
}

} // namespace

mag_word mag_lshift(mag_word* out, const mag_word* a, std::uint32_t n, int s) {
    assert(s >= 0 && s < mag_word_bits);
    if (s == 0) {
        if (out != a) std::copy_n(a, n, out);
        return 0;
    }
    mag_word shifted_out = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const mag_word w = a[i];
        out[i] = (w << s) | shifted_out;
        shifted_out = w >> (mag_word_bits - s);
    }
    return shifted_out;
}

void mag_rshift(mag_word* out, const mag_word* a, std::uint32_t n, int s) {
    assert(s >= 0 && s < mag_word_bits && n >= 1);
    if (s == 0) {
        if (out != a) std::copy_n(a, n, out);
        return;
    }
    for (std::uint32_t i = 0; i + 1 < n; ++i) out[i] = (a[i] >> s) | (a[i + 1] << (mag_word_bits - s));
    out[n - 1] = a[n - 1] >> s;
}

mag_word mag_div_word(const mag_word* a, mag_word* q, std::uint32_t n, mag_word d) {
    assert(n >= 1 && d != 0);
    mag_word r = 0;
    for (std::uint32_t i = n; i-- > 0;) q[i] = mag_div_2by1(r, a[i], d, r);
    return r;
}

std::uint32_t mag_divide(mag_word* u, mag_word* v, mag_word* q, std::uint32_t m, std::uint32_t n) {
    assert(n >= 2 && m >= n && v[n - 1] != 0);
    // The normalisation factor 2^s brings v's top bit to 1, which keeps every quotient
    // estimate below at most two too large.
    const int s = __builtin_clzll(v[n - 1]);
    mag_lshift(v, v, n, s);
    u[m] = mag_lshift(u, u, m, s);

    const mag_word top = v[n - 1];
    const mag_word second = v[n - 2];
    for (std::uint32_t j = m - n + 1; j-- > 0;) {
        mag_word* uj = u + j;
        mag_word q_hat;
        mag_dword r_hat;
        if (uj[n] < top) {
            mag_word r;
            q_hat = mag_div_2by1(uj[n], uj[n - 1], top, r);
            r_hat = r;
        } else {
            q_hat = ~mag_word(0);
            r_hat = mag_dword(uj[n - 1]) + top;
        }
        while (r_hat >> mag_word_bits == 0 &&
               mag_dword(q_hat) * second > ((r_hat << mag_word_bits) | uj[n - 2])) {
            --q_hat;
            r_hat += top;
        }
        if (multiply_subtract(uj, v, n, q_hat) != 0) {
            --q_hat;
            add_back(uj, v, n);
        }
        q[j] = q_hat;
    }

    mag_rshift(u, u, n, s);
    return mag_length(u, n);
}

} // namespace velmora
