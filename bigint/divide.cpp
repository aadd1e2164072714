#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"
#include "diag/report.hpp"

#include <algorithm>

namespace velmora {

namespace {

// Sets *q to a / b (truncated) and *r to a % b, each only when its pointer is not null.
// Both are computed before either is assigned, since either may be a or b.
// Pre: b is not zero.
void divide_by_nonzero(const big_int& a, const big_int& b, big_int* q, big_int* r) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    big_int quotient, remainder;
    if (ra.sign == 0 || ra.len < rb.len) {
        remainder = a;
    } else if (rb.len == 1 && rb.digits[0] == 1) {
        // x / 1 is x itself, x / -1 its negation; the remainder is 0.
        quotient = rb.sign > 0 ? a : -a;
    } else if (rb.len == 1) {
        big_int_rep* w = new_rep(ra.len);
        const mag_word rest = kernel_div_word(w->digits, ra.digits, ra.len, rb.digits[0]);
        if (r != nullptr) remainder = copied_value(ra.sign, &rest, 1);
        if (q != nullptr) quotient = make_big_int(w, ra.sign * rb.sign, ra.len);
        else free_rep(w);
    } else {
        const std::uint32_t quotient_words = ra.len - rb.len + 1;
        big_int_rep* w = q != nullptr ? new_rep(quotient_words) : nullptr;
        big_int_rep* rest = r != nullptr ? new_rep(rb.len) : nullptr;
        const std::uint32_t rest_len = kernel_divrem(w != nullptr ? w->digits : nullptr,
                                                     rest != nullptr ? rest->digits : nullptr, ra.digits, ra.len,
                                                     rb.digits, rb.len);
        if (rest != nullptr) remainder = fitted_value(rest, ra.sign, rest_len);
        if (w != nullptr) quotient = make_big_int(w, ra.sign * rb.sign, quotient_words);
    }
    if (q != nullptr) *q = quotient;
    if (r != nullptr) *r = remainder;
}

} // namespace

void divide(big_int& q, const big_int& a, const big_int& b, big_int& r) {
    if (b.rep().sign == 0) {
        big_arith_error("divide by zero");
        return;
    }
    divide_by_nonzero(a, b, &q, &r);
}

big_int operator/(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (rb.len >= 2 && ra.len >= rb.len) {
        // The common case of a quotient of several words, made in its own record at once.
        const std::uint32_t quotient_words = ra.len - rb.len + 1;
        big_int_rep* w = new_rep(quotient_words);
        kernel_divrem(w->digits, nullptr, ra.digits, ra.len, rb.digits, rb.len);
        return make_big_int(w, ra.sign * rb.sign, quotient_words);
    }
    big_int q;
    if (b.rep().sign == 0) big_arith_error("divide by zero");
    else divide_by_nonzero(a, b, &q, nullptr);
    return q;
}

big_int exact_quotient(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (rb.sign == 0) {
        big_arith_error("divide by zero");
        return big_int();
    }
    if (ra.sign == 0 || ra.len < rb.len) return big_int();
    if (rb.len == 1 && rb.digits[0] == 1) return rb.sign > 0 ? a : -a;
    const std::uint32_t quotient_words = ra.len - rb.len + 1;
    big_int_rep* w = new_rep(quotient_words);
    kernel_divexact(w->digits, ra.digits, ra.len, rb.digits, rb.len);
    return make_big_int(w, ra.sign * rb.sign, quotient_words);
}

big_int operator%(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (rb.len >= 2 && ra.len >= rb.len) {
        // The common case of a divisor of several words, its remainder made in its own record.
        big_int_rep* rest = new_rep(rb.len);
        const std::uint32_t len = kernel_divrem(nullptr, rest->digits, ra.digits, ra.len, rb.digits, rb.len);
        return fitted_value(rest, ra.sign, len);
    }
    big_int r;
    if (b.rep().sign == 0) big_arith_error("divide by zero");
    else divide_by_nonzero(a, b, nullptr, &r);
    return r;
}

} // namespace velmora
