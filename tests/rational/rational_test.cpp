#include "rational/rational.hpp"

#include "bigint/big_int.hpp"
#include "diag/testing.hpp"

#include <gtest/gtest.h>

#include <iomanip>
#include <iterator>
#include <sstream>

namespace velmora {
namespace {

using Q = rational<big_int>;

std::string text(const Q& x) {
    std::ostringstream out;
    out << x;
    return out.str();
}

Q q(int n, int d) { return Q(big_int(n), big_int(d)); }

class RationalTest : public ::testing::Test {
protected:
    void SetUp() override { reset_diagnostics(); }
    void TearDown() override { reset_diagnostics(); }
};

TEST_F(RationalTest, ConstructionGivesNormalForm) {
    EXPECT_EQ(text(Q()), "0");
    EXPECT_EQ(text(Q(-6)), "-6");
    EXPECT_EQ(text(q(2, 4)), "1/2");
    EXPECT_EQ(text(q(6, -4)), "-3/2");
    EXPECT_EQ(text(q(-6, -4)), "3/2");
    EXPECT_EQ(text(q(0, -5)), "0");
    EXPECT_TRUE(q(0, -5).denominator == big_int(1));
    EXPECT_TRUE(q(4, 2).is_integer());
    EXPECT_FALSE(q(1, 2).is_integer());
}

TEST_F(RationalTest, ArithmeticInLowestTermsWithSignsOnTheNumerator) {
    EXPECT_EQ(text(Q(-6) / Q(4)), "-3/2");
    EXPECT_EQ(text(q(1, 2) + q(1, 3)), "5/6");
    EXPECT_EQ(text(q(1, 2) - q(1, 2)), "0");
    EXPECT_TRUE((q(1, 2) - q(1, 2)).denominator == big_int(1));
    EXPECT_EQ(text(q(2, 3) * q(3, 4)), "1/2");
    EXPECT_EQ(text(q(1, 2) / q(-1, 4)), "-2");
    EXPECT_EQ(text(-q(3, 4)), "-3/4");
    EXPECT_EQ(text(+q(3, 4)), "3/4");
    EXPECT_EQ(text(q(-3, 4) * q(-4, 3)), "1");
}

TEST_F(RationalTest, ComparisonsAndSign) {
    EXPECT_TRUE(q(1, 2) < q(2, 3));
    EXPECT_TRUE(q(-1, 2) < Q(0));
    EXPECT_EQ(sgn(Q()), 0);
    EXPECT_EQ(sgn(q(-1, 3)), -1);
    EXPECT_TRUE(q(2, 4) == q(1, 2));
    EXPECT_EQ(cmp(q(2, 3), q(1, 2)), 1);
    EXPECT_EQ(q(1, 2) >= q(1, 2), 1);
    EXPECT_EQ(q(1, 2) <= q(1, 3), 0);
    EXPECT_EQ(q(1, 2) != q(1, 3), 1);
    EXPECT_EQ(q(1, 2) > q(1, 3), 1);
    // A denominator made negative by hand still has the right sign.
    Q odd;
    odd.numerator = big_int(-1);
    odd.denominator = big_int(-2);
    EXPECT_EQ(sgn(odd), 1);
}

TEST_F(RationalTest, RoundingTowardBothInfinities) {
    EXPECT_TRUE(ifloor(q(-7, 2)) == big_int(-4));
    EXPECT_TRUE(iceil(q(-7, 2)) == big_int(-3));
    EXPECT_TRUE(ifloor(q(7, 2)) == big_int(3));
    EXPECT_TRUE(iceil(q(7, 2)) == big_int(4));
    EXPECT_TRUE(ifloor(Q(-4)) == big_int(-4));
    EXPECT_TRUE(iceil(Q(-4)) == big_int(-4));
    EXPECT_EQ(text(frac(q(-7, 2))), "1/2");
    EXPECT_EQ(text(frac(q(7, 2))), "1/2");
    EXPECT_EQ(text(lower_whole(q(-1, 3))), "-1");
    EXPECT_EQ(text(upper_whole(q(-1, 3))), "0");
}

TEST_F(RationalTest, GcdAndAbs) {
    EXPECT_TRUE(gcd(big_int(0), big_int(0)) == big_int(0));
    EXPECT_TRUE(gcd(big_int(-12), big_int(18)) == big_int(6));
    EXPECT_TRUE(gcd(big_int(7), big_int(0)) == big_int(7));
    EXPECT_TRUE(gcd(big_int(0), big_int(-7)) == big_int(7));
    EXPECT_TRUE(abs(big_int(-5)) == big_int(5));
    EXPECT_EQ(text(abs(q(-3, 4))), "3/4");
}

TEST_F(RationalTest, OutputAppliesWidthToTheWholeFractionAndKeepsTheFill) {
    std::ostringstream out;
    out << std::setw(6) << q(-1, 2) << '|' << std::setw(3) << Q(7) << '|';
    EXPECT_EQ(out.str(), "  -1/2|  7|");
    EXPECT_EQ(out.fill(), ' ');
    std::ostringstream left;
    left << std::left << std::setfill('*') << std::setw(6) << q(1, 3) << '|';
    EXPECT_EQ(left.str(), "1/3***|");
    // Fractions are decimal whatever the base; integers follow the stream.
    std::ostringstream hex;
    hex << std::hex << q(255, 2) << ' ' << Q(255);
    EXPECT_EQ(hex.str(), "255/2 ff");
}

struct read_case {
    const char* input;
    const char* value;
    const char* rest;  // what the stream still holds
    bool fail;
    const char* errors;
};

TEST_F(RationalTest, InputForms) {
    const read_case cases[] = {
        {"4/6 ", "2/3", " ", false, ""},
        {"6/-4\n", "-3/2", "\n", false, ""},
        {"-0/5 ", "0", " ", false, ""},
        {"7\n", "7", "\n", false, ""},
        {"3 /4", "3", " /4", false, ""},
        {"-12/8x", "-3/2", "x", false, ""},
        {"1/ 2 ", "1/2", " ", false, ""},
        {"0x10/0o10 ", "2", " ", false, ""},
        {"5/0 ", "0", " ", true, "Rationals Error: zero denominator\n"},
        {"-5/0 ", "0", " ", true, "Rationals Error: zero denominator\n"},
        {"0/0 ", "0", " ", true, "Rationals Error: zero denominator\n"},
        {"7/x", "0", "x", true,
         "Big arith warning: empty string; treating as zero.\nRationals Error: zero denominator\n"},
        {"/3 ", "0", " ", false, "Big arith warning: empty string; treating as zero.\n"},
    };
    for (const read_case& c : cases) {
        SCOPED_TRACE(c.input);
        std::istringstream in(c.input);
        Q x(5);
        ::testing::internal::CaptureStderr();
        in >> x;
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.errors);
        EXPECT_EQ(text(x), c.value);
        EXPECT_EQ(in.fail(), c.fail);
        in.clear();
        std::string rest(std::istreambuf_iterator<char>(in), {});
        EXPECT_EQ(rest, c.rest);
    }
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(RationalTest, InputAtTheEndOfTheText) {
    std::istringstream number_only("42");
    Q x;
    number_only >> x;
    EXPECT_EQ(text(x), "42");
    EXPECT_TRUE(number_only.eof());
    EXPECT_FALSE(number_only.fail());

    std::istringstream fraction("-4/6");
    fraction >> x;
    EXPECT_EQ(text(x), "-2/3");
    EXPECT_FALSE(fraction.fail());

    ::testing::internal::CaptureStderr();
    std::istringstream slash_at_end("7/");
    slash_at_end >> x;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Rationals Error: zero denominator\n");
    EXPECT_EQ(text(x), "0");
    EXPECT_TRUE(slash_at_end.fail());

    std::istringstream empty("");
    x = q(1, 2);
    empty >> x;
    EXPECT_EQ(text(x), "0");
    EXPECT_TRUE(empty.fail());
}

TEST_F(RationalTest, ConstructionFromText) {
    EXPECT_EQ(text(Q("4/6 and more")), "2/3");
    EXPECT_EQ(text(Q("-7")), "-7");
    // No text at all reads as empty text: zero, as for the integers, without a report.
    EXPECT_EQ(text(Q(static_cast<const char*>(nullptr))), "0");
    EXPECT_EQ(text(Q("")), "0");
    EXPECT_FALSE(report_written());
}

TEST_F(RationalTest, PairConstructorKeepsItsZeroDenominatorBehaviour) {
    EXPECT_EQ(text(q(5, 0)), "1/0");
    EXPECT_EQ(text(q(-5, 0)), "-1/0");
    ::testing::internal::CaptureStderr();
    const Q z = q(0, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Big arith error: divide by zero\nBig arith error: divide by zero\n");
    EXPECT_EQ(text(z), "0/0");
}

} // namespace
} // namespace velmora
