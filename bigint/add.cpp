#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

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
        std::copy_n(longer.digits, longer.len, r->digits);
        const std::uint32_t len = mag_add(r->digits, shorter.digits, longer.len, shorter.len);
        return make_big_int(r, ra.sign, len);
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
    std::copy_n(from, n, r->digits);
    mag_sub(r->digits, minus, n, minus_len);
    const std::uint32_t len = mag_length(r->digits, n);
    // A difference that lost much of its length moves to a record of its own size.
    if (len + 1 < n - n / 4) {
        big_int exact = copied_value(sign, r->digits, len);
        free_rep(r);
        return exact;
    }
    return make_big_int(r, sign, len);
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
