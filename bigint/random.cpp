#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

#include <random>

namespace velmora {

namespace {

std::mt19937 generator;

} // namespace

big_int random_big_int(int n) {
    if (n <= 0) return big_int();
    // The n values are 32-bit digits of the result: two to a word, the first drawn lowest.
    std::uniform_int_distribution<std::uint32_t> digit(0, 32767);
    const std::uint32_t words = (std::uint32_t(n) + 1) / 2;
    mag_word* w = new_words(words);
    for (std::uint32_t i = 0; i < words; ++i) w[i] = 0;
    for (int i = 0; i < n; ++i) w[i / 2] |= mag_word(digit(generator)) << (32 * (i % 2));
    const std::uint32_t len = mag_length(w, words);
    if (len == 0) {
        delete[] w;
        return big_int();
    }
    return make_big_int(1, w, len);
}

} // namespace velmora
