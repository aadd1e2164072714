#include "bigint/big_int.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace velmora {
namespace {

std::string text(const big_int& x) {
    std::ostringstream out;
    out << std::hex << x;
    return out.str();
}

TEST(Words, RoundTripThroughSignAndMagnitude) {
    for (const char* s : {"0", "1", "-1", "0xffffffff", "-0x100000000", "0x123456789abcdef0123456789"}) {
        const big_int x(s);
        std::vector<std::uint32_t> w(magnitude_word_count(x) + 1, 0xdeadbeef);
        copy_magnitude_words(x, w.data());
        EXPECT_EQ(w.back(), 0xdeadbeefu) << s;  // nothing written past the count
        const big_int y = big_int_from_words(sign_of(x), w.data(), magnitude_word_count(x));
        EXPECT_TRUE(x == y) << s;
    }
}

TEST(Words, HighZeroWordsAndZeroMagnitudeNormalise) {
    const std::uint32_t w[] = {5, 0, 0};
    const big_int x = big_int_from_words(-1, w, 3);
    EXPECT_EQ(text(x), "-5");
    EXPECT_EQ(magnitude_word_count(x), 1u);
    const std::uint32_t zeros[] = {0, 0};
    const big_int z = big_int_from_words(-1, zeros, 2);
    EXPECT_EQ(sign_of(z), 0);
    EXPECT_EQ(magnitude_word_count(z), 0u);
    EXPECT_EQ(sign_of(big_int_from_words(1, nullptr, 0)), 0);
    const std::uint32_t two_words[] = {0, 1};
    EXPECT_EQ(text(big_int_from_words(1, two_words, 2)), "100000000");
}

} // namespace
} // namespace velmora
