#include "bigint/big_int.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Add, CarriesAndBorrowsAcrossWords) {
    struct row { const char* a; const char* b; const char* sum; const char* difference; };
    const row rows[] = {
        {"0xffffffff", "1", "100000000", "fffffffe"},
        {"0x100000000", "-1", "ffffffff", "100000001"},
        {"3", "-5", "-2", "8"},
        {"-5", "3", "-2", "-8"},
        {"0xffffffffffffffffffffffff", "1", "1000000000000000000000000", "fffffffffffffffffffffffe"},
        {"0x1000000000000000000000000", "-1", "ffffffffffffffffffffffff", "1000000000000000000000001"},
        {"-0x1000000000000000000000000", "0x1000000000000000000000001", "1", "-2000000000000000000000001"},
        {"-0xffffffff00000000", "-0xffffffff00000001", "-1fffffffe00000001", "1"},
        {"0xffffffffffffffff", "1", "10000000000000000", "fffffffffffffffe"},
        {"0x10000000000000000", "-1", "ffffffffffffffff", "10000000000000001"},
        {"-0x100000000000000000000000000000000", "0xffffffffffffffffffffffffffffffff", "-1",
         "-1ffffffffffffffffffffffffffffffff"},
    };
    for (const row& r : rows) {
        const big_int a(r.a), b(r.b);
        EXPECT_EQ(text_of(a + b, 16), r.sum) << r.a << " + " << r.b;
        EXPECT_EQ(text_of(a - b, 16), r.difference) << r.a << " - " << r.b;
        EXPECT_EQ(text_of(b + a, 16), r.sum) << r.b << " + " << r.a;
    }
}

TEST(Add, ResultsAreInNormalForm) {
    const big_int x("0x123456789abcdef");
    const big_int zero = x + (-x);
    EXPECT_EQ(zero.rep().sign, 0);
    EXPECT_EQ(zero.rep().digits, nullptr);
    EXPECT_EQ(zero.rep().len, 0u);

    EXPECT_EQ(words_of(big_int("0xffffffff") + 1), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(words_of(big_int("0x100000000") + -1), std::vector<std::uint32_t>{0xFFFFFFFFu});
    EXPECT_EQ(words_of(big_int("0x100000001") - big_int("0x100000000")), std::vector<std::uint32_t>{1});
    EXPECT_EQ((-big_int(0)).rep().sign, 0);
}

TEST(Add, ZeroOperandSharesTheOtherRecord) {
    const big_int x(-42), zero;
    EXPECT_EQ(&(x + zero).rep(), &x.rep());
    EXPECT_EQ(&(zero + x).rep(), &x.rep());
    EXPECT_EQ(&(+x).rep(), &x.rep());
    EXPECT_EQ(text_of(zero - x), "42");
    EXPECT_EQ(text_of(-x), "42");
    EXPECT_EQ(x.rep().sign, -1);
}

} // namespace
} // namespace velmora
