#include "bigint/words.hpp"

#include "bigint/build.hpp"

#include <cstring>

namespace velmora {

int sign_of(const big_int& x) { return x.rep().sign; }

std::size_t magnitude_word_count(const big_int& x) { return x.rep().len; }

void copy_magnitude_words(const big_int& x, std::uint32_t* out) {
    if (x.rep().len != 0) std::memcpy(out, x.rep().digits, x.rep().len * sizeof(mag_word));
}

big_int big_int_from_words(int sign, const std::uint32_t* words, std::size_t n) {
    const std::uint32_t len = n == 0 ? 0 : mag_length(words, static_cast<std::uint32_t>(n));
    if (len == 0) return big_int();
    return make_big_int(sign < 0 ? -1 : 1, copy_of_words(words, len), len);
}

} // namespace velmora
