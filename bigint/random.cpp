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
    big_int_rep* r = new_rep(words);
    mag_word* w = r->digits;
    for (std::uint32_t i = 0; i < words; ++i) w[i] = 0;
    for (int i = 0; i < n; ++i) w[i / 2] |= mag_word(digit(generator)) << (32 * (i % 2));
    return make_big_int(r, 1, words);
}

} // namespace velmora
