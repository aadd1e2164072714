#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

#include <algorithm>

namespace velmora {

namespace {

// The value of the n-word difference w with the given sign, trimmed to its significant
// length in an array of exactly that size.
big_int trimmed_difference(std::int32_t sign, mag_word* w, std::uint32_t n) {
    const std::uint32_t len = mag_length(w, n);
    if (len == 0) {
        delete[] w;
        return big_int();
    }
    if (len < n) {
        mag_word* exact = copy_of_words(w, len);
        delete[] w;
        w = exact;
    }
    return make_big_int(sign, w, len);
}

} // namespace

big_int operator-(const big_int& a) {
    const big_int_rep& ra = a.rep();
    if (ra.sign == 0) return big_int();
    return make_big_int(-ra.sign, copy_of_words(ra.digits, ra.len), ra.len);
}

big_int operator+(const big_int& a) { return a; }

big_int operator+(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign == 0) return b;
    if (rb.sign == 0) return a;
    const big_int_rep& longer = ra.len >= rb.len ? ra : rb;
    const big_int_rep& shorter = ra.len >= rb.len ? rb : ra;
    if (ra.sign == rb.sign) {
        mag_word* w = copy_of_words(longer.digits, longer.len, 1);
        const std::uint32_t len = mag_add(w, shorter.digits, longer.len, shorter.len);
        return make_big_int(ra.sign, w, len);
    }
    mag_word* w = copy_of_words(longer.digits, longer.len);
    std::int32_t sign = longer.sign;
    if (mag_sub(w, shorter.digits, longer.len, shorter.len) != 0) {
        // Only with equal lengths: the shorter operand had the larger magnitude.
        std::copy_n(shorter.digits, shorter.len, w);
        mag_sub(w, longer.digits, shorter.len, longer.len);
        sign = shorter.sign;
    }
    return trimmed_difference(sign, w, longer.len);
}

big_int operator-(const big_int& a, const big_int& b) { return a + (-b); }

} // namespace velmora
