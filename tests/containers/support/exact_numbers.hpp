// Random big integers and rationals for container tests, drawn from the test's
// own seeded generator.
#pragma once

#include "bigint/big_int.hpp"
#include "rational/rational.hpp"

#include <random>

namespace velmora::testing_support {

using exact_rational = rational<big_int>;

// A value of up to max_words 32-bit words with a random sign; small values,
// zero and all-ones words come up often.
inline big_int random_big(std::mt19937_64& gen, int max_words) {
    std::uniform_int_distribution<int> words(0, max_words), shape(0, 3), half_word(0, 65535);
    big_int value(0);
    for (int w = words(gen); w > 0; --w) {
        const int kind = shape(gen);
        const int high = kind == 0 ? 65535 : kind == 1 ? 0 : half_word(gen);
        const int low = kind == 0 ? 65535 : half_word(gen);
        value = (value * big_int(65536) + big_int(high)) * big_int(65536) + big_int(low);
    }
    return shape(gen) == 0 ? -value : value;
}

// A fraction in normal form whose parts have up to max_words words.
inline exact_rational random_rational(std::mt19937_64& gen, int max_words) {
    big_int den = random_big(gen, max_words);
    if (den == big_int(0)) den = big_int(1);
    return exact_rational(random_big(gen, max_words), den);
}

} // namespace velmora::testing_support
