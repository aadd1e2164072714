#include "reduce/content.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

vector<big_int> items(std::initializer_list<int> values) {
    vector<big_int> v;
    for (int x : values) v.append_item(big_int(x));
    return v;
}

TEST(Content, GcdOfAllItemsNonNegativeFromTwoItemsOn) {
    EXPECT_TRUE(content(items({6, -4, 10})) == big_int(2));
    EXPECT_TRUE(content(items({-6, -9})) == big_int(3));
    EXPECT_TRUE(content(items({0, 0, 0})) == big_int(0));
    EXPECT_TRUE(content(items({0, -7})) == big_int(7));
    EXPECT_TRUE(content(items({3, 6, 0})) == big_int(3));
}

TEST(Content, OneItemIsReturnedUnchangedSignIncluded) {
    EXPECT_TRUE(content(items({-5})) == big_int(-5));
    EXPECT_TRUE(content(items({0})) == big_int(0));
}

TEST(Content, StopsAtOneEvenBeforeLaterZeroItems) {
    // Scanning from the end: 1 is reached at once, the leading items are not needed.
    EXPECT_TRUE(content(items({12, 8, 1})) == big_int(1));
    EXPECT_TRUE(content(items({4, 3, 2})) == big_int(1));
}

// row_content against the definition, gcd of the two contents, on random rows with
// common factors, zeros and single columns.
TEST(Content, RowContentIsTheGcdOfBothContents) {
    const std::uint64_t seed = seed_from_environment(20240614);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(seed);
    for (int trial = 0; trial < 500; ++trial) {
        const int n = 1 + int(gen() % 4), m = 1 + int(gen() % 4);
        const big_int factor(1 + int(gen() % 12));
        matrix<big_int> B(1, n), Q(1, m);
        for (int j = 0; j < n; ++j) B(0, j) = gen() % 3 == 0 ? big_int(0) : factor * big_int(int(gen() % 41) - 20);
        for (int j = 0; j < m; ++j) Q(0, j) = factor * big_int(int(gen() % 41) - 20);
        if (Q(0, m - 1) == big_int(0)) Q(0, m - 1) = factor;
        EXPECT_TRUE(row_content(B, Q, 0) == gcd(content(B.row(0)), content(Q.row(0)))) << "trial " << trial;
    }
}

} // namespace
} // namespace velmora
