#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"

#include <algorithm>

namespace velmora {

namespace {

// The value a + sb * |b| where sb is b's sign, or its opposite for a difference.
big_int signed_sum(const big_int& a, const big_int& b, std::int32_t sb) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (rb.sign == 0) return a;
    if (ra.sign == 0) return sb == rb.sign ? b : -b;
    const bool a_longer = ra.len >= rb.len;
    const big_int_rep& longer = a_longer ? ra : rb;
    const big_int_rep& shorter = a_longer ? rb : ra;
    const std::int32_t longer_sign = a_longer ? ra.sign : sb;
    const std::int32_t shorter_sign = a_longer ? sb : ra.sign;
    if (ra.sign == sb) {
        big_int_rep* r = new_rep(longer.len + 1);
        const mag_word carry = kernel_add(r->digits, longer.digits, longer.len, shorter.digits, shorter.len);
        r->digits[longer.len] = carry;
        return make_big_int(r, ra.sign, longer.len + 1);
    }
    const std::uint32_t n = longer.len;
    std::int32_t sign = longer_sign;
    // Equal lengths: subtract the smaller magnitude from the larger one, found from the top.
    const mag_word* from = longer.digits;
    const mag_word* minus = shorter.digits;
    std::uint32_t minus_len = shorter.len;
    if (longer.len == shorter.len) {
        const int c = mag_cmp(longer.digits, shorter.digits, n);
        if (c == 0) return big_int();
        if (c < 0) {
            std::swap(from, minus);
            sign = shorter_sign;
        }
        minus_len = n;
    }
    big_int_rep* r = new_rep(n);
    kernel_sub(r->digits, from, n, minus, minus_len);
    return fitted_value(r, sign, n);
}

} // namespace

big_int operator-(const big_int& a) {
    const big_int_rep& ra = a.rep();
    if (ra.sign == 0) return a;
    return copied_value(-ra.sign, ra.digits, ra.len);
}

big_int operator+(const big_int& a) { return a; }

big_int operator+(const big_int& a, const big_int& b) { return signed_sum(a, b, b.rep().sign); }

big_int operator-(const big_int& a, const big_int& b) { return signed_sum(a, b, -b.rep().sign); }

} // namespace velmora
