#include "bigint/big_int.hpp"

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
        ASSERT_LE(r.len, unsigned(n));
        EXPECT_NE(r.digits[r.len - 1], 0u);
        for (unsigned w = 0; w < r.len; ++w) EXPECT_LE(r.digits[w], 32767u);
        full_length_seen |= r.len == unsigned(n);
    }
    EXPECT_TRUE(full_length_seen);
}

} // namespace
} // namespace velmora
