#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"

namespace velmora {

big_int gcd(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0) return rb.sign < 0 ? -b : b;
    if (rb.sign == 0) return ra.sign < 0 ? -a : a;
    if ((ra.len == 1 && ra.digits[0] == 1) || (rb.len == 1 && rb.digits[0] == 1)) return big_int(1);
    if (ra.len == 1 && rb.len == 1) {
        const mag_word g = mag_word_gcd(ra.digits[0], rb.digits[0]);
        return copied_value(1, &g, 1);
    }
    const big_int_rep& longer = ra.len >= rb.len ? ra : rb;
    const big_int_rep& shorter = ra.len >= rb.len ? rb : ra;
    big_int_rep* r = new_rep(shorter.len);
    const std::uint32_t len = kernel_gcd(r->digits, longer.digits, longer.len, shorter.digits, shorter.len);
    return fitted_value(r, 1, len);
}

} // namespace velmora
