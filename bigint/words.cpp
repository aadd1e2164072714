#include "bigint/words.hpp"

#include "bigint/build.hpp"

#include <bit>
#include <cstring>

namespace velmora {

static_assert(sizeof(mag_word) == sizeof(std::uint64_t));

int sign_of(const big_int& x) { return x.rep().sign; }

std::size_t magnitude_word_count(const big_int& x) {
    const big_int_rep& r = x.rep();
    if (r.len == 0) return 0;
    return 2 * std::size_t(r.len) - (r.digits[r.len - 1] >> 32 == 0 ? 1 : 0);
}

void copy_magnitude_words(const big_int& x, std::uint32_t* out) {
    const big_int_rep& r = x.rep();
    const std::size_t n = magnitude_word_count(x);
    for (std::size_t i = 0; i < n; ++i) out[i] = std::uint32_t(r.digits[i / 2] >> (32 * (i % 2)));
}

big_int big_int_from_words(int sign, const std::uint32_t* words, std::size_t n) {
    while (n > 0 && words[n - 1] == 0) --n;
    if (n == 0) return big_int();
    const std::uint32_t len = std::uint32_t((n + 1) / 2);
    big_int_rep* r = new_rep(len);
    mag_word* w = r->digits;
    w[len - 1] = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 2 == 0) w[i / 2] = words[i];
        else w[i / 2] |= mag_word(words[i]) << 32;
    }
    return make_big_int(r, sign < 0 ? -1 : 1, len);
}

std::size_t magnitude_word64_count(const big_int& x) { return x.rep().len; }

void copy_magnitude_words64(const big_int& x, std::uint64_t* out) {
    if (x.rep().len != 0) std::memcpy(out, x.rep().digits, x.rep().len * sizeof(mag_word));
}

big_int big_int_from_words64(int sign, const std::uint64_t* words, std::size_t n) {
    return copied_value(sign < 0 ? -1 : 1, words, static_cast<std::uint32_t>(n));
}

big_int big_int_from_word(std::uint64_t w) { return big_int_from_words64(1, &w, 1); }

long bit_length(const big_int& x) {
    const big_int_rep& r = x.rep();
    if (r.len == 0) return 0;
    return long(r.len - 1) * long(8 * sizeof(mag_word)) + std::bit_width(r.digits[r.len - 1]);
}

} // namespace velmora
