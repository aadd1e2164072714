#include "bigint/big_int.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Random, PositiveValuesOfFifteenBitWordsUpToTheLength) {
    EXPECT_EQ(random_big_int(0).rep().sign, 0);
    bool full_length_seen = false;
    for (int i = 0; i < 200; ++i) {
        const int n = 1 + i % 5;
        const big_int x = random_big_int(n);
        const big_int_rep& r = x.rep();
        if (r.sign == 0) continue;
        EXPECT_EQ(r.sign, 1);
        const std::vector<std::uint32_t> w = words_of(x);
        ASSERT_LE(w.size(), std::size_t(n));
        for (const std::uint32_t digit : w) EXPECT_LE(digit, 32767u);
        full_length_seen |= w.size() == std::size_t(n);
    }
    EXPECT_TRUE(full_length_seen);
}

} // namespace
} // namespace velmora
