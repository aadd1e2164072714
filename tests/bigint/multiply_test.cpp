#include "bigint/big_int.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Multiply, LengthFollowsTheTopWordAndSignsMultiply) {
    const big_int all_ones("0xffffffff"), two_32("0x100000000");
    EXPECT_EQ(words_of(all_ones * all_ones), (std::vector<std::uint32_t>{1, 0xFFFFFFFEu}));
    EXPECT_EQ(words_of(two_32 * two_32), (std::vector<std::uint32_t>{0, 0, 1}));
    const big_int word_ones("0xffffffffffffffff"), two_64("0x10000000000000000");
    EXPECT_EQ(text_of(word_ones * word_ones, 16), "fffffffffffffffe0000000000000001");
    EXPECT_EQ(text_of(two_64 * two_64, 16), "100000000000000000000000000000000");
    EXPECT_EQ(text_of(big_int(-3) * 4), "-12");
    EXPECT_EQ(text_of(big_int(-3) * -4), "12");
    const big_int zero = big_int(0) * -7;
    EXPECT_EQ(zero.rep().sign, 0);
    EXPECT_EQ(zero.rep().digits, nullptr);
    // Every partial product carries into the next word.
    EXPECT_EQ(text_of(big_int("0xffffffffffffffffffffffff") * big_int("-0xffffffffffffffff"), 16),
              "-fffffffffffffffeffffffff0000000000000001");
}

} // namespace
} // namespace velmora
