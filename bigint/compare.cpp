#include "bigint/arithmetic.hpp"

namespace velmora {

int cmp(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign != rb.sign) return ra.sign < rb.sign ? -1 : 1;
    if (ra.sign == 0) return 0;
    // A longer magnitude is larger; for negative values that makes the value smaller.
    if (ra.len != rb.len) return ra.len < rb.len ? -ra.sign : ra.sign;
    return ra.sign * mag_cmp(ra.digits, rb.digits, ra.len);
}

int operator==(const big_int& a, const big_int& b) { return cmp(a, b) == 0; }
int operator!=(const big_int& a, const big_int& b) { return cmp(a, b) != 0; }
int operator<(const big_int& a, const big_int& b) { return cmp(a, b) == -1; }
int operator>(const big_int& a, const big_int& b) { return cmp(a, b) == 1; }
int operator<=(const big_int& a, const big_int& b) { return cmp(a, b) != 1; }
int operator>=(const big_int& a, const big_int& b) { return cmp(a, b) != -1; }

} // namespace velmora
