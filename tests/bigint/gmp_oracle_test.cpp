// Differential tests against GMP, compared as text. Set VELMORA_SEED to rerun with the seed
// that a failure printed.
#include "bigint/big_int.hpp"
#include "support/shaped_operands.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef VELMORA_HAVE_GMP
#include <gmpxx.h>
#endif

namespace velmora {
namespace {

#ifndef VELMORA_HAVE_GMP

TEST(GmpOracle, NotRun) {
    GTEST_SKIP() << "GMP (libgmp-dev) NOT FOUND: the randomized differential tests of big_int did NOT run. "
                    "Install it with: apt-get install libgmp-dev";
}

#else

constexpr std::uint32_t max_words = 300;

struct operand {
    std::string literal;
    big_int value;
    mpz_class oracle;
};

operand operand_of(int sign, const words& magnitude) {
    std::string literal = hex_literal(sign, magnitude);
    return {literal, big_int(literal.c_str()), mpz_class(literal, 0)};
}

// Our text read back, with the radix prefix that the input needs after the sign.
big_int read_back(std::string text, int radix) {
    const std::size_t after_sign = text[0] == '-' ? 1 : 0;
    if (radix != 10) text.insert(after_sign, radix == 16 ? "0x" : "0o");
    return big_int(text.c_str());
}

void check_text(const operand& a) {
    SCOPED_TRACE("a = " + a.literal);
    for (const int radix : {10, 16, 8}) {
        const std::string text = text_of(a.value, radix);
        EXPECT_EQ(text, a.oracle.get_str(radix)) << "radix " << radix;
        EXPECT_EQ(cmp(read_back(text, radix), a.value), 0) << text;
    }
}

void check_arithmetic(const operand& a, const operand& b) {
    SCOPED_TRACE("a = " + a.literal + ", b = " + b.literal);
    EXPECT_EQ(text_of(a.value + b.value), mpz_class(a.oracle + b.oracle).get_str());
    EXPECT_EQ(text_of(a.value - b.value), mpz_class(a.oracle - b.oracle).get_str());
    EXPECT_EQ(text_of(a.value * b.value), mpz_class(a.oracle * b.oracle).get_str());
    const int c = cmp(a.oracle, b.oracle);
    EXPECT_EQ(cmp(a.value, b.value), (c > 0) - (c < 0));
    if (b.oracle == 0) return;
    // mpz_class / and % truncate toward zero, as big_int's do.
    EXPECT_EQ(text_of(a.value / b.value), mpz_class(a.oracle / b.oracle).get_str());
    EXPECT_EQ(text_of(a.value % b.value), mpz_class(a.oracle % b.oracle).get_str());
}

class GmpOracle : public ::testing::Test {
protected:
    void SetUp() override { live_before_ = live_big_int_reps(); }
    // Every record made by the cases is released again.
    void TearDown() override { EXPECT_EQ(live_big_int_reps(), live_before_); }

    const std::uint64_t seed_ = seed_from_environment(20240607);
    shaped_operands source_{seed_};

private:
    long live_before_ = 0;
};

TEST_F(GmpOracle, ShapedOperandPairs) {
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed_) + ", case " + std::to_string(i));
        const words wa = source_.magnitude(max_words);
        words wb = source_.magnitude(max_words);
        if (i % 8 == 0) wb = wa; // equal magnitudes: zero sums, equal comparisons
        const operand a = operand_of(source_.sign(), wa);
        const operand b = operand_of(source_.sign(), wb);
        check_arithmetic(a, b);
        check_arithmetic(b, a);
        if (i % 4 == 0) check_text(a);
    }
}

TEST_F(GmpOracle, DivisionsThatAddBack) {
    words u, v;
    for (int i = 0; i < 1000 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed_) + ", case " + std::to_string(i));
        source_.add_back_pair(max_words, u, v);
        check_arithmetic(operand_of(source_.sign(), u), operand_of(source_.sign(), v));
    }
}

// c x + e y in one record, and the running gcd of a row, against GMP: operands of every
// shape, with zeros, sums that cancel, and rows with a common factor of several words.
TEST_F(GmpOracle, CombinationAndRunningGcd) {
    for (int i = 0; i < 1500 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed_) + ", case " + std::to_string(i));
        operand v[4];
        for (operand& o : v) o = i % 7 == 0 ? operand_of(0, {}) : operand_of(source_.sign(), source_.magnitude(max_words / 4));
        const mpz_class expected = v[0].oracle * v[1].oracle + v[2].oracle * v[3].oracle;
        EXPECT_EQ(text_of(combination(v[0].value, v[1].value, v[2].value, v[3].value)), expected.get_str());
        // c x - c x cancels.
        EXPECT_EQ(text_of(combination(v[0].value, v[1].value, -v[0].value, v[1].value)), "0");

        const operand factor = operand_of(1, source_.magnitude(i % 3 == 0 ? 1 : 8));
        std::vector<big_int> row;
        const operand start = i % 4 == 0 ? operand_of(0, {}) : operand_of(source_.sign(), source_.magnitude(12));
        mpz_class expected_gcd = start.oracle;
        for (int k = 0; k < 6; ++k) {
            const operand x = k % 3 == 2 ? operand_of(0, {}) : operand_of(source_.sign(), source_.magnitude(10));
            const mpz_class multiple = i % 2 == 0 ? mpz_class(x.oracle * factor.oracle) : x.oracle;
            row.push_back(big_int(multiple.get_str().c_str()));
            mpz_gcd(expected_gcd.get_mpz_t(), expected_gcd.get_mpz_t(), multiple.get_mpz_t());
        }
        EXPECT_EQ(text_of(gcd_with(start.value, row.data(), row.size())), expected_gcd.get_str());
    }
}

#endif

} // namespace
} // namespace velmora
