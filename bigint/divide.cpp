#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// True when b has two words or more and a is at least as long: the division of the kernel.
bool long_division(const big_int_rep& ra, const big_int_rep& rb) { return rb.len >= 2 && ra.len >= rb.len; }

// a / b, and a % b, under long_division, each made in a record of its own.
big_int long_quotient(const big_int_rep& ra, const big_int_rep& rb) {
    const std::uint32_t quotient_words = ra.len - rb.len + 1;
    big_int_rep* w = new_rep(quotient_words);
    kernel_divrem(w->digits, nullptr, ra.digits, ra.len, rb.digits, rb.len);
    return make_big_int(w, ra.sign * rb.sign, quotient_words);
}

big_int long_remainder(const big_int_rep& ra, const big_int_rep& rb) {
    big_int_rep* rest = new_rep(rb.len);
    const std::uint32_t len = kernel_divrem(nullptr, rest->digits, ra.digits, ra.len, rb.digits, rb.len);
    return fitted_value(rest, ra.sign, len);
}

// Sets *q to a / b (truncated) and *r to a % b, each only when its pointer is not null; a
// long division (see long_division) only when both are asked for, the quotient and the
// remainder from one division. Both are computed before either is assigned, since either
// may be a or b. Pre: b is not zero.
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
        assert(q != nullptr && r != nullptr);
        const std::uint32_t quotient_words = ra.len - rb.len + 1;
        big_int_rep* w = new_rep(quotient_words);
        big_int_rep* rest = new_rep(rb.len);
        const std::uint32_t rest_len = kernel_divrem(w->digits, rest->digits, ra.digits, ra.len, rb.digits, rb.len);
        remainder = fitted_value(rest, ra.sign, rest_len);
        quotient = make_big_int(w, ra.sign * rb.sign, quotient_words);
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
    if (long_division(a.rep(), b.rep())) return long_quotient(a.rep(), b.rep());
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
    if (long_division(a.rep(), b.rep())) return long_remainder(a.rep(), b.rep());
    big_int r;
    if (b.rep().sign == 0) big_arith_error("divide by zero");
    else divide_by_nonzero(a, b, nullptr, &r);
    return r;
}

} // namespace velmora
