#include "bigint/big_int.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Compare, SignsLengthsAndEqualValuesInDifferentRecords) {
    struct row { big_int a; big_int b; int expected; };
    const row rows[] = {
        {-5, 3, -1},
        {-5, -3, -1},
        {-3, -5, 1},
        {0, -1, 1},
        {0, 0, 0},
        {big_int("0x100000000"), big_int("0xffffffff"), 1},
        {big_int("-0x100000000"), big_int("0xffffffff"), -1},
        {big_int("-0x100000000"), big_int("-0xffffffff"), -1},
        {big_int("0x1fffffffe"), big_int("0x1ffffffff"), -1},
        {big_int("123456789012345678901234567890"), big_int("123456789012345678901234567890"), 0},
    };
    for (const row& r : rows) {
        const int c = r.expected;
        EXPECT_EQ(cmp(r.a, r.b), c);
        EXPECT_EQ(cmp(r.b, r.a), -c);
        // Each operator gives exactly 1 or 0.
        EXPECT_EQ(r.a == r.b, c == 0 ? 1 : 0);
        EXPECT_EQ(r.a != r.b, c != 0 ? 1 : 0);
        EXPECT_EQ(r.a < r.b, c < 0 ? 1 : 0);
        EXPECT_EQ(r.a > r.b, c > 0 ? 1 : 0);
        EXPECT_EQ(r.a <= r.b, c <= 0 ? 1 : 0);
        EXPECT_EQ(r.a >= r.b, c >= 0 ? 1 : 0);
    }
}

} // namespace
} // namespace velmora
