#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"

namespace velmora {

big_int operator*(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0 || rb.sign == 0) return big_int();
    // x * 1 and 1 * x share x's record; -1 negates.
    if (rb.len == 1 && rb.digits[0] == 1) return rb.sign > 0 ? a : -a;
    if (ra.len == 1 && ra.digits[0] == 1) return ra.sign > 0 ? b : -b;
    const big_int_rep& longer = ra.len >= rb.len ? ra : rb;
    const big_int_rep& shorter = ra.len >= rb.len ? rb : ra;
    big_int_rep* r = new_rep(ra.len + rb.len);
    // The record keeps room for la + lb words even when the top one came out zero.
    kernel_mul(r->digits, longer.digits, longer.len, shorter.digits, shorter.len);
    return make_big_int(r, ra.sign * rb.sign, ra.len + rb.len);
}

} // namespace velmora
