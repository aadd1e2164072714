// Lehmer's gcd against Euclid's algorithm (the gcd template) and GMP. Set VELMORA_SEED to
// rerun a seed.
#include "bigint/big_int.hpp"
#include "rational/gcd.hpp"
#include "support/shaped_operands.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <string>

#ifdef VELMORA_HAVE_GMP
#include <gmpxx.h>
#endif

namespace velmora {
namespace {

big_int shaped_value(shaped_operands& source, std::uint32_t max_words) {
    return big_int(hex_literal(source.sign(), source.magnitude(max_words)).c_str());
}

void expect_same_gcd(const big_int& a, const big_int& b) {
    const std::string expected = text_of(gcd<big_int>(a, b), 16);
    EXPECT_EQ(text_of(gcd(a, b), 16), expected) << text_of(a, 16) << ", " << text_of(b, 16);
    EXPECT_EQ(text_of(gcd(b, a), 16), expected) << text_of(b, 16) << ", " << text_of(a, 16);
#ifdef VELMORA_HAVE_GMP
    const mpz_class ga(text_of(a)), gb(text_of(b));
    mpz_class g;
    mpz_gcd(g.get_mpz_t(), ga.get_mpz_t(), gb.get_mpz_t());
    EXPECT_EQ(text_of(gcd(a, b)), g.get_str());
#endif
}

TEST(Gcd, LehmerEqualsEuclid) {
    const std::uint64_t seed = seed_from_environment(20240613);
    shaped_operands source(seed);
    for (int i = 0; i < 3000 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const big_int a = shaped_value(source, 40), b = shaped_value(source, 40);
        switch (i % 4) {
        case 0: // a large common factor
            expect_same_gcd(a * b, shaped_value(source, 40) * b);
            break;
        case 1: // one divides the other
            expect_same_gcd(a * b, b);
            break;
        case 2: // neighbours: long runs of quotient 1 (as consecutive Fibonacci numbers)
            expect_same_gcd(a + b, a);
            break;
        default:
            expect_same_gcd(a, b);
        }
    }
}

TEST(Gcd, ConsecutiveFibonacciNumbersAndEdges) {
    big_int f0(0), f1(1);
    for (int k = 0; k < 3000; ++k) {
        const big_int next = f0 + f1;
        f0 = f1;
        f1 = next;
    }
    expect_same_gcd(f1, f0);
    EXPECT_EQ(text_of(gcd(f1, f0)), "1");
    EXPECT_EQ(text_of(gcd(big_int(0), big_int(0))), "0");
    EXPECT_EQ(text_of(gcd(big_int(-12), big_int(18))), "6");
    EXPECT_EQ(text_of(gcd(big_int(7), big_int(0))), "7");
    EXPECT_EQ(text_of(gcd(big_int(0), big_int(-7))), "7");
    const big_int two_200 = big_int("0x100000000000000000000000000000000000000000000000000");
    EXPECT_EQ(text_of(gcd(two_200, two_200 * big_int(3) + two_200 / big_int(2)), 16),
              "80000000000000000000000000000000000000000000000000");
}

} // namespace
} // namespace velmora
