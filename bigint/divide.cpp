#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "diag/report.hpp"

#include <algorithm>

namespace velmora {

namespace {

struct quotient_and_remainder {
    big_int quotient;
    big_int remainder;
};

// Pre: b is not zero.
quotient_and_remainder divide_by_nonzero(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0) return {big_int(), big_int()};
    if (ra.len < rb.len) return {big_int(), a};
    // x / 1 is x itself, x / -1 its negation; the remainder is 0.
    if (rb.len == 1 && rb.digits[0] == 1) return {rb.sign > 0 ? a : -a, big_int()};
    const std::int32_t quotient_sign = ra.sign * rb.sign;
    if (rb.len == 1) {
        big_int_rep* q = new_rep(ra.len);
        const mag_word rest = mag_div_word(ra.digits, q->digits, ra.len, rb.digits[0]);
        return {make_big_int(q, quotient_sign, ra.len), copied_value(ra.sign, &rest, 1)};
    }
    const std::uint32_t quotient_words = ra.len - rb.len + 1;
    // One scratch array for the normalised dividend (with its extra top word) and divisor.
    mag_word* u = new_words(ra.len + 1 + rb.len);
    mag_word* v = u + ra.len + 1;
    std::copy_n(ra.digits, ra.len, u);
    std::copy_n(rb.digits, rb.len, v);
    big_int_rep* q = new_rep(quotient_words);
    const std::uint32_t rest_len = mag_divide(u, v, q->digits, ra.len, rb.len);
    big_int remainder = copied_value(ra.sign, u, rest_len);
    delete[] u;
    return {make_big_int(q, quotient_sign, quotient_words), remainder};
}

} // namespace

void divide(big_int& q, const big_int& a, const big_int& b, big_int& r) {
    if (b.rep().sign == 0) {
        big_arith_error("divide by zero");
        return;
    }
    // Both results are complete before q and r change, since either may be a or b.
    const quotient_and_remainder result = divide_by_nonzero(a, b);
    q = result.quotient;
    r = result.remainder;
}

big_int operator/(const big_int& a, const big_int& b) {
    big_int q;
    big_int r;
    divide(q, a, b, r);
    return q;
}

big_int operator%(const big_int& a, const big_int& b) {
    big_int q;
    big_int r;
    divide(q, a, b, r);
    return r;
}

} // namespace velmora
