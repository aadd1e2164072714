#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"

#include <random>

namespace velmora {

namespace {

std::mt19937 generator;

} // namespace

big_int random_big_int(int n) {
    if (n <= 0) return big_int();
    std::uniform_int_distribution<mag_word> word(0, 32767);
    mag_word* w = new_words(std::size_t(n));
    for (int i = 0; i < n; ++i) w[i] = word(generator);
    const std::uint32_t len = mag_length(w, std::uint32_t(n));
    if (len == 0) {
        delete[] w;
        return big_int();
    }
    return make_big_int(1, w, len);
}

} // namespace velmora
