// Radix conversion by powers against the conversion by words, both ways, for the decimal
// group power and others, on shaped magnitudes around the thresholds and far above them.
// Set VELMORA_SEED to rerun a seed.
#include "bigint/radix_groups.hpp"
#include "support/shaped_operands.hpp"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

TEST(RadixPowers, BothWaysEqualTheConversionByWords) {
    const std::uint64_t seed = seed_from_environment(20240703);
    shaped_operands source(seed);
    // 10^19, 3^40, 10^9 and 7^22: one word and fewer than a word's bits per group.
    const mag_word powers[] = {10000000000000000000u, 12157665459056928801u, 1000000000u, 3909821048582988049u};
    for (int i = 0; i < 120 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const mag_word P = powers[i % 4];
        const std::uint32_t t = mag_radix_split_threshold;
        const std::uint32_t n = i % 3 == 0 ? 1 + source.below(2 * t) : t + source.below(i % 10 == 0 ? 3000 : 300);
        const words a = source.shaped(n);
        words scratch1(a), scratch2(a), g1(3 * n + 2), g2(3 * n + 2);
        const std::uint32_t count = mag_to_groups_by_words(scratch1.data(), g1.data(), n, P);
        EXPECT_EQ(mag_to_groups_by_powers(scratch2.data(), g2.data(), n, P), count) << "n " << n;
        EXPECT_EQ(g2, g1) << "n " << n;

        words back(count + 1, 0x5a5a5a5au);
        EXPECT_EQ(groups_to_mag_by_powers(g1.data(), back.data(), count, P), n);
        EXPECT_EQ(words(back.begin(), back.begin() + n), a);
        EXPECT_EQ(back.back(), 0x5a5a5a5au) << "wrote past the room";
    }
}

TEST(RadixPowers, GroupsWithZeroRunsAndTheirTop) {
    // Groups 0 and P - 1 in long runs: the low halves are zero-padded to their full width,
    // and high zero groups are no part of the value.
    const mag_word P = 10000000000000000000u;
    for (const std::uint32_t n : {29u, 31u, 64u, 65u, 200u, 1000u}) {
        for (int shape = 0; shape < 3; ++shape) {
            words g(n + 3, 0);
            for (std::uint32_t i = 0; i < n; ++i) g[i] = shape == 0 ? 0 : shape == 1 ? P - 1 : (i % 7 == 0 ? 1 : 0);
            g[n - 1] = 1;
            words m1(n + 3), m2(n + 3);
            const std::uint32_t len = groups_to_mag_by_words(g.data(), m1.data(), n + 3, P);
            ASSERT_EQ(groups_to_mag_by_powers(g.data(), m2.data(), n + 3, P), len) << n << " " << shape;
            EXPECT_EQ(m2, m1);
            words back(2 * len + 2);
            ASSERT_EQ(mag_to_groups_by_powers(m2.data(), back.data(), len, P), n) << n << " " << shape;
            EXPECT_EQ(words(back.begin(), back.begin() + n), words(g.begin(), g.begin() + n));
        }
    }
}

} // namespace
} // namespace velmora
