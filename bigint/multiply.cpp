#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

namespace velmora {

big_int operator*(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0 || rb.sign == 0) return big_int();
    const std::uint32_t n = ra.len + rb.len;
    mag_word* w = new_words(n);
    // The array keeps n words even when the top one came out zero.
    const mag_word top = mag_mul(ra.digits, rb.digits, w, ra.len, rb.len);
    return make_big_int(ra.sign * rb.sign, w, top == 0 ? n - 1 : n);
}

} // namespace velmora
