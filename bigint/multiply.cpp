#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

namespace velmora {

big_int operator*(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0 || rb.sign == 0) return big_int();
    big_int_rep* r = new_rep(ra.len + rb.len);
    // The record keeps room for la + lb words even when the top one came out zero.
    mag_mul(ra.digits, rb.digits, r->digits, ra.len, rb.len);
    return make_big_int(r, ra.sign * rb.sign, ra.len + rb.len);
}

} // namespace velmora
