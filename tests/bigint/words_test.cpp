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

TEST(Words, SixtyFourBitWordsAgreeWithThirtyTwoBitWords) {
    for (const char* s : {"0", "-1", "0xffffffff", "0x100000000", "-0xffffffffffffffff", "0x10000000000000000",
                          "0x123456789abcdef0123456789"}) {
        const big_int x(s);
        std::vector<std::uint32_t> narrow(magnitude_word_count(x));
        copy_magnitude_words(x, narrow.data());
        std::vector<std::uint64_t> wide(magnitude_word64_count(x) + 1, 0xdeadbeef);
        copy_magnitude_words64(x, wide.data());
        EXPECT_EQ(wide.back(), 0xdeadbeefu) << s;
        EXPECT_EQ(wide.size() - 1, (narrow.size() + 1) / 2) << s;
        for (std::size_t i = 0; i < narrow.size(); ++i)
            EXPECT_EQ(std::uint32_t(wide[i / 2] >> (32 * (i % 2))), narrow[i]) << s << " word " << i;
        EXPECT_TRUE(big_int_from_words64(sign_of(x), wide.data(), wide.size() - 1) == x) << s;
    }
    const std::uint64_t w[] = {0, 1, 0};
    EXPECT_EQ(text(big_int_from_words64(-1, w, 3)), "-10000000000000000");
    EXPECT_EQ(sign_of(big_int_from_words64(1, w, 1)), 0);
}

} // namespace
} // namespace velmora
