#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

#include <algorithm>

namespace velmora {

namespace {

// A fresh array holding a copy of the n words at from, with room for extra more.
mag_word* copy_of(const mag_word* from, std::uint32_t n, std::uint32_t extra) {
    mag_word* w = new_words(std::size_t(n) + extra);
    std::copy_n(from, n, w);
    return w;
}

// The value of the n-word difference w with the given sign, trimmed to its significant
// length in an array of exactly that size.
big_int trimmed_difference(std::int32_t sign, mag_word* w, std::uint32_t n) {
    const std::uint32_t len = mag_length(w, n);
    if (len == 0) {
        delete[] w;
        return big_int();
    }
    if (len < n) {
        mag_word* exact = copy_of(w, len, 0);
        delete[] w;
        w = exact;
    }
    return make_big_int(sign, w, len);
}

} // namespace

big_int operator-(const big_int& a) {
    const big_int_rep& ra = a.rep();
    if (ra.sign == 0) return big_int();
    return make_big_int(-ra.sign, copy_of(ra.digits, ra.len, 0), ra.len);
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
        mag_word* w = copy_of(longer.digits, longer.len, 1);
        const std::uint32_t len = mag_add(w, shorter.digits, longer.len, shorter.len);
        return make_big_int(ra.sign, w, len);
    }
    mag_word* w = copy_of(longer.digits, longer.len, 0);
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
