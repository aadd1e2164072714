// Lehmer's gcd against Euclid's on shaped random operands. Rerun with VELMORA_SEED=<n>.
#include "reduce/lehmer_gcd.hpp"

#include "rational/gcd.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace velmora {
namespace {

// Up to `words` 32-bit words: random, all ones, or long runs of zero and one bits.
big_int shaped(std::mt19937_64& gen, int words) {
    std::uint32_t w[64] = {};
    const int n = 1 + int(gen() % words);
    const int shape = int(gen() % 4);
    for (int k = 0; k < n; ++k) {
        switch (shape) {
        case 0: w[k] = static_cast<std::uint32_t>(gen()); break;
        case 1: w[k] = 0xffffffffu; break;
        case 2: w[k] = gen() % 2 ? 0xffffffffu : 0; break;
        default: w[k] = k == n - 1 ? 1 : 0; break;  // a power of two
        }
    }
    return big_int_from_words(gen() % 2 ? 1 : -1, w, n);
}

TEST(LehmerGcd, AgreesWithEuclidOnSharedAndRandomFactors) {
    const char* given = std::getenv("VELMORA_SEED");
    const unsigned seed = given ? unsigned(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 3000; ++run) {
        const int words = 1 + int(gen() % 40);
        big_int a = shaped(gen, words), b = shaped(gen, words);
        if (gen() % 2) {  // a large common factor
            const big_int f = shaped(gen, 1 + int(gen() % 20));
            a = a * f;
            b = b * f;
        }
        if (gen() % 8 == 0) b = a * shaped(gen, 2) + big_int(int(gen() % 3));  // consecutive-like
        if (gen() % 16 == 0) b = big_int(0);
        const big_int want = gcd(a, b);
        ASSERT_TRUE(lehmer_gcd(a, b) == want) << a << " " << b;
        ASSERT_TRUE(lehmer_gcd(b, a) == want) << a << " " << b;
    }
}

TEST(LehmerGcd, SmallCases) {
    EXPECT_TRUE(lehmer_gcd(big_int(0), big_int(0)) == big_int(0));
    EXPECT_TRUE(lehmer_gcd(big_int(0), big_int(-6)) == big_int(6));
    EXPECT_TRUE(lehmer_gcd(big_int(-12), big_int(18)) == big_int(6));
    EXPECT_TRUE(lehmer_gcd(big_int(1), big_int("123456789012345678901234567890123456789")) == big_int(1));
    // Consecutive Fibonacci numbers: every quotient is 1, the longest run of steps.
    big_int f0(1), f1(1);
    for (int k = 0; k < 300; ++k) {
        const big_int f2 = f0 + f1;
        f0 = f1;
        f1 = f2;
    }
    EXPECT_TRUE(lehmer_gcd(f0, f1) == big_int(1));
    EXPECT_TRUE(lehmer_gcd(f0 * big_int(97), f1 * big_int(97)) == big_int(97));
}

} // namespace
} // namespace velmora
