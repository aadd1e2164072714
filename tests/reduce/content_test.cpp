#include "reduce/content.hpp"

#include <gtest/gtest.h>

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

} // namespace
} // namespace velmora
