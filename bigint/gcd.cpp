#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"
#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <utility>

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

big_int gcd_with(const big_int& d, const big_int* x, std::size_t n) {
    std::size_t i = 0;
    big_int start = d;
    while (start.rep().sign == 0 && i < n) start = x[i++];
    const big_int_rep& rs = start.rep();
    if (rs.sign == 0) return big_int();
    // The running gcd g (len words) only shrinks: two arrays of its first length hold it and
    // the next one, and no value is made until the end.
    std::uint32_t len = rs.len;
    checked_buffer<mag_word> words(2 * std::size_t(len));
    mag_word* g = words.data();
    mag_word* next = g + len;
    std::copy_n(rs.digits, len, g);
    for (; i < n && !(len == 1 && g[0] == 1); ++i) {
        const big_int_rep& rx = x[i].rep();
        if (rx.sign == 0) continue;
        if (len == 1 && rx.len == 1) {
            g[0] = mag_word_gcd(g[0], rx.digits[0]);
            continue;
        }
        len = rx.len >= len ? kernel_gcd(next, rx.digits, rx.len, g, len) : kernel_gcd(next, g, len, rx.digits, rx.len);
        std::swap(g, next);
    }
    return copied_value(1, g, len);
}

} // namespace velmora
