#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
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
        const mag_word rest = mag_div_word(ra.digits, w->digits, ra.len, rb.digits[0]);
        if (r != nullptr) remainder = copied_value(ra.sign, &rest, 1);
        if (q != nullptr) quotient = make_big_int(w, ra.sign * rb.sign, ra.len);
        else free_rep(w);
    } else {
        const std::uint32_t quotient_words = ra.len - rb.len + 1;
        // One scratch array for the normalised dividend (with its extra top word) and divisor,
        // and the quotient when it is not wanted.
        mag_word* u = new_words(ra.len + 1 + rb.len + (q == nullptr ? quotient_words : 0));
        mag_word* v = u + ra.len + 1;
        std::copy_n(ra.digits, ra.len, u);
        std::copy_n(rb.digits, rb.len, v);
        big_int_rep* w = q != nullptr ? new_rep(quotient_words) : nullptr;
        const std::uint32_t rest_len = mag_divide(u, v, w != nullptr ? w->digits : v + rb.len, ra.len, rb.len);
        if (r != nullptr) remainder = copied_value(ra.sign, u, rest_len);
        delete[] u;
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
    big_int q;
    if (b.rep().sign == 0) big_arith_error("divide by zero");
    else divide_by_nonzero(a, b, &q, nullptr);
    return q;
}

big_int operator%(const big_int& a, const big_int& b) {
    big_int r;
    if (b.rep().sign == 0) big_arith_error("divide by zero");
    else divide_by_nonzero(a, b, nullptr, &r);
    return r;
}

} // namespace velmora
