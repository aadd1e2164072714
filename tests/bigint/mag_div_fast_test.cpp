// Division by recursion on halves and Hensel's exact division against long division, on
// shaped operands from below the recursion threshold to many times it, balanced and
// unbalanced. Set VELMORA_SEED to rerun a seed.
#include "bigint/mag.hpp"
#include "support/shaped_operands.hpp"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

constexpr mag_word guard = 0x5a5a5a5a5a5a5a5au;

TEST(MagDivFast, RecursiveDivisionEqualsLongDivision) {
    const std::uint64_t seed = seed_from_environment(20240701);
    shaped_operands source(seed);
    const std::uint32_t t = mag_divide_recursive_threshold;
    for (int i = 0; i < 300 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const std::uint32_t roll = source.below(4);
        const std::uint32_t n = roll == 0 ? 2 + source.below(2 * t) : t + source.below(6 * t);
        const std::uint32_t m = n + (roll == 3 ? source.below(5 * n) : source.below(n + 2));
        const words a = source.shaped(m), b = source.shaped(n);
        words u1(a), v1(b), q1(m - n + 1);
        u1.push_back(0);
        const std::uint32_t rest1 = mag_divide(u1.data(), v1.data(), q1.data(), m, n);

        words u2(a), v2(b), q2(m - n + 2, guard), scratch(mag_divide_fast_scratch(m, n) + 1, guard);
        u2.push_back(0);
        u2.push_back(0);
        const std::uint32_t rest2 = mag_divide_fast(u2.data(), v2.data(), q2.data(), m, n, scratch.data());
        EXPECT_EQ(q2.back(), guard) << "wrote past the quotient";
        EXPECT_EQ(scratch.back(), guard) << "wrote past the scratch";
        q2.pop_back();
        EXPECT_EQ(q2, q1) << "m " << m << ", n " << n;
        EXPECT_EQ(rest2, rest1);
        EXPECT_EQ(words(u2.begin(), u2.begin() + n), words(u1.begin(), u1.begin() + n));
    }
}

TEST(MagDivFast, HenselDivisionOfProducts) {
    const std::uint64_t seed = seed_from_environment(20240702);
    shaped_operands source(seed);
    for (int i = 0; i < 1500 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const std::uint32_t nb = 1 + source.below(i % 3 == 0 ? 60 : 8);
        const std::uint32_t nq = 1 + source.below(i % 5 == 0 ? 90 : 10);
        words b = source.shaped(nb), quotient = source.shaped(nq);
        // Trailing zero words and bits in the divisor: powers of two times odd parts.
        if (i % 4 == 0) b.insert(b.begin(), source.below(3), mag_word(0));
        const std::uint32_t lb = std::uint32_t(b.size());
        words a(lb + nq);
        if (lb >= nq) mag_mul(b.data(), quotient.data(), a.data(), lb, nq);
        else mag_mul(quotient.data(), b.data(), a.data(), nq, lb);
        const std::uint32_t na = mag_length(a.data(), lb + nq);
        words q(na - lb + 2, guard), scratch(lb + 1, guard);
        mag_divexact(q.data(), a.data(), na, b.data(), lb, scratch.data());
        EXPECT_EQ(q.back(), guard) << "wrote past the quotient";
        EXPECT_EQ(scratch.back(), guard) << "wrote past the scratch";
        q.pop_back();
        quotient.resize(q.size(), 0);
        EXPECT_EQ(q, quotient) << "na " << na << ", nb " << lb;
    }
}

} // namespace
} // namespace velmora
