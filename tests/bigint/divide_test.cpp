#include "bigint/big_int.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct division_row { const char* a; const char* b; const char* quotient; const char* remainder; };

void expect_division(const division_row& r) {
    const big_int a(r.a), b(r.b);
    EXPECT_EQ(text_of(a / b, 16), r.quotient) << r.a << " / " << r.b;
    EXPECT_EQ(text_of(a % b, 16), r.remainder) << r.a << " % " << r.b;
}

TEST(Divide, TruncatingSignsAndWordLengthEdges) {
    const division_row rows[] = {
        {"7", "2", "3", "1"},         {"-7", "2", "-3", "-1"},
        {"7", "-2", "-3", "1"},       {"-7", "-2", "3", "-1"},
        {"0", "5", "0", "0"},         {"5", "0x10000000000", "0", "5"},
        {"-5", "0x10000000000", "0", "-5"},
        {"-0x1000000000000000000000000", "-0x100000000", "10000000000000000", "0"},
        // Equal lengths, divisor larger.
        {"0x100000001", "0x100000002", "0", "100000001"},
        // One-word divisor whose quotient loses its top word.
        {"0x100000000", "2", "80000000", "0"},
        // Divisor top word 2^32 - 1: normalisation factor 1.
        {"0x123456789abcdef0fedcba9876543210aa55aa55", "0xffffffff00000001", "12345678acf1356999999989",
         "62fc963010bc10cc"},
        // Divisor top word 2^64 - 1, and a one-word divisor of 2^64 - 1.
        {"0x123456789abcdef0fedcba9876543210aa55aa55", "0xffffffffffffffff0000000000000001", "12345678",
         "9abcdef11111111076543210982153dd"},
        {"0xffffffffffffffffffffffffffffffff", "0xffffffffffffffff", "10000000000000001", "0"},
        // A quotient digit that needs the add-back step.
        {"0x7FFFFFFF800000000000000000000000", "0x800000000000000000000001", "fffffffe",
         "7fffffffffffffff00000002"},
    };
    for (const division_row& r : rows) expect_division(r);
    EXPECT_EQ(words_of(big_int("0x100000000") / 2), std::vector<std::uint32_t>{0x80000000u});
}

TEST(Divide, ShortDividendIsTheRemainderItself) {
    const big_int a(5), b("0x1000000000000000000");
    EXPECT_EQ(&(a % b).rep(), &a.rep());
}

TEST(Divide, ByZeroReportsOnceAndChangesNothing) {
    const big_int seven(7), zero;
    ::testing::internal::CaptureStderr();
    const big_int q = seven / zero;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Big arith error: divide by zero\n");
    EXPECT_EQ(q.rep().sign, 0);
    ::testing::internal::CaptureStderr();
    const big_int r = seven % zero;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Big arith error: divide by zero\n");
    EXPECT_EQ(r.rep().sign, 0);

    big_int q2(1), r2(2);
    const big_int_rep* before = &q2.rep();
    ::testing::internal::CaptureStderr();
    divide(q2, seven, zero, r2);
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(&q2.rep(), before);
    EXPECT_EQ(text_of(r2), "2");
}

TEST(Divide, ResultsMayBeTheOperands) {
    big_int a("100000000000000000007"), b("10000000000");
    divide(a, a, b, b);
    EXPECT_EQ(text_of(a), "10000000000");
    EXPECT_EQ(text_of(b), "7");
}

} // namespace
} // namespace velmora
