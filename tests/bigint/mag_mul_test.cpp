// Karatsuba's and Toom's products against the schoolbook product, on shaped operands of
// lengths around the thresholds and far above them, balanced and unbalanced. Set VELMORA_SEED
// to rerun a seed.
#include "bigint/mag.hpp"
#include "support/shaped_operands.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmora {
namespace {

TEST(MagMul, KaratsubaAndToomEqualSchoolbook) {
    const std::uint64_t seed = seed_from_environment(20240612);
    shaped_operands source(seed);
    const std::uint32_t t = mag_karatsuba_threshold;
    for (int i = 0; i < 400 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const std::uint32_t roll = source.below(6);
        const std::uint32_t nb = roll == 0   ? t - 1 + source.below(3)
                                 : roll == 1 ? 1 + source.below(4 * t)
                                 : roll == 4 ? mag_toom3_threshold - 2 + source.below(5)
                                 : roll == 5 ? mag_toom3_threshold + source.below(12 * mag_toom3_threshold)
                                             : t + source.below(8 * t);
        const std::uint32_t na = roll == 3 || (roll == 5 && i % 2 == 0) ? nb + source.below(5 * nb) : nb;
        const words a = source.shaped(na), b = source.shaped(nb);
        words expected(na + nb), got(na + nb + 1, 0x5a5a5a5a);
        words scratch(mag_mul_scratch(na, nb) + 1, 0x3c3c3c3c);
        const mag_word top = mag_mul(a.data(), b.data(), expected.data(), na, nb);
        EXPECT_EQ(mag_mul_fast(a.data(), b.data(), got.data(), na, nb, scratch.data()), top);
        EXPECT_EQ(got.back(), 0x5a5a5a5au) << "wrote past the product";
        EXPECT_EQ(scratch.back(), 0x3c3c3c3cu) << "wrote past the scratch";
        got.pop_back();
        EXPECT_EQ(got, expected) << "na " << na << ", nb " << nb;
    }
}

} // namespace
} // namespace velmora
