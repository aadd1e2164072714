#include "bigint/product_sum.hpp"

#include "bigint/build.hpp"
#include "bigint/mag.hpp"

#include <algorithm>
#include <bit>
#include <cassert>

namespace velmora {

namespace {

// acc[0 .. n + 1 ...] += a[0 .. n-1] * m, the carry running on into the words above.
// Pre: the sum fits the words of acc.
void add_word_product_to(mag_word* acc, const mag_word* a, std::uint32_t n, mag_word m) {
    mag_word carry = 0;
    for (std::uint32_t k = 0; k < n; ++k) {
        const mag_dword t = mag_dword(a[k]) * m + acc[k] + carry;
        acc[k] = mag_word(t);
        carry = mag_word(t >> 64);
    }
    for (std::uint32_t k = n; carry != 0; ++k) {
        const mag_word s = acc[k] + carry;
        carry = s < carry;
        acc[k] = s;
    }
}

// acc += b (nb words), the carry running on.
void add_words(mag_word* acc, const mag_word* b, std::uint32_t nb) {
    mag_word carry = 0;
    for (std::uint32_t k = 0; k < nb; ++k) {
        const mag_word s = acc[k] + carry;
        const mag_word c1 = s < carry;
        acc[k] = s + b[k];
        carry = c1 + (acc[k] < b[k]);
    }
    for (std::uint32_t k = nb; carry != 0; ++k) {
        const mag_word s = acc[k] + carry;
        carry = s < carry;
        acc[k] = s;
    }
}

} // namespace

product_sum::product_sum(std::size_t words)
    : words_(words), positive_(words + 1), negative_(words + 1), scratch_(words + 1) {}

void product_sum::clear() {
    std::fill(positive_.data(), positive_.data() + words_, mag_word(0));
    std::fill(negative_.data(), negative_.data() + words_, mag_word(0));
}

void product_sum::add_product(const big_int& x, const big_int& y) {
    const big_int_rep& rx = x.rep();
    const big_int_rep& ry = y.rep();
    if (rx.len == 0 || ry.len == 0) return;
    mag_word* acc = rx.sign == ry.sign ? positive_.data() : negative_.data();
    assert(std::size_t(rx.len) + ry.len <= words_);
    if (rx.len == 1) {
        add_word_product_to(acc, ry.digits, ry.len, rx.digits[0]);
    } else if (ry.len == 1) {
        add_word_product_to(acc, rx.digits, rx.len, ry.digits[0]);
    } else {
        const bool x_longer = rx.len >= ry.len;
        const big_int_rep& a = x_longer ? rx : ry;
        const big_int_rep& b = x_longer ? ry : rx;
        mag_mul(a.digits, b.digits, scratch_.data(), a.len, b.len);
        add_words(acc, scratch_.data(), a.len + b.len);
    }
}

void product_sum::add_word_product(const big_int& x, mag_word w, bool subtract) {
    const big_int_rep& rx = x.rep();
    if (rx.len == 0 || w == 0) return;
    assert(std::size_t(rx.len) + 1 <= words_);
    add_word_product_to((rx.sign < 0) != subtract ? negative_.data() : positive_.data(), rx.digits, rx.len, w);
}

bool product_sum::is_zero() const {
    return std::equal(positive_.data(), positive_.data() + words_, negative_.data());
}

big_int product_sum::value() const {
    const int order = mag_cmp(positive_.data(), negative_.data(), std::uint32_t(words_));
    if (order == 0) return big_int();
    const mag_word* larger = order > 0 ? positive_.data() : negative_.data();
    const mag_word* smaller = order > 0 ? negative_.data() : positive_.data();
    checked_buffer<mag_word> difference(words_);
    std::copy(larger, larger + words_, difference.data());
    mag_sub(difference.data(), smaller, std::uint32_t(words_), std::uint32_t(words_));
    return copied_value(order > 0 ? 1 : -1, difference.data(), std::uint32_t(words_));
}

std::size_t product_sum_words(std::size_t x_words, std::size_t y_words, std::size_t terms) {
    return x_words + y_words + 1 + (std::bit_width(terms) + 63) / 64;
}

} // namespace velmora
