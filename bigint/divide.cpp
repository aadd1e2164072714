#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "diag/report.hpp"

namespace velmora {

namespace {

// The n-word quotient array w with the given sign, or zero (freeing w) when it is all zero.
// Pre: n >= 1, and w[n - 2] is nonzero when n >= 2: only the top word may be zero.
big_int quotient_value(std::int32_t sign, mag_word* w, std::uint32_t n) {
    const std::uint32_t len = w[n - 1] == 0 ? n - 1 : n;
    if (len == 0) {
        delete[] w;
        return big_int();
    }
    return make_big_int(sign, w, len);
}

// A fresh value holding a copy of the n words at from (zero when n is 0).
big_int copied_value(std::int32_t sign, const mag_word* from, std::uint32_t n) {
    if (n == 0) return big_int();
    return make_big_int(sign, copy_of_words(from, n), n);
}

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
    const std::int32_t quotient_sign = ra.sign * rb.sign;
    if (rb.len == 1) {
        mag_word* w = new_words(ra.len);
        const mag_word rest = mag_div_word(ra.digits, w, ra.len, rb.digits[0]);
        return {quotient_value(quotient_sign, w, ra.len), copied_value(ra.sign, &rest, rest == 0 ? 0 : 1)};
    }
    const std::uint32_t quotient_words = ra.len - rb.len + 1;
    mag_word* u = copy_of_words(ra.digits, ra.len, 1);
    mag_word* v = copy_of_words(rb.digits, rb.len);
    mag_word* w = new_words(quotient_words);
    const std::uint32_t rest_len = mag_divide(u, v, w, ra.len, rb.len);
    delete[] v;
    big_int remainder = copied_value(ra.sign, u, rest_len);
    delete[] u;
    return {quotient_value(quotient_sign, w, quotient_words), remainder};
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
