#include "bigint/mag.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using words = std::vector<mag_word>;

TEST(MagMul, ProductsReturnTheirTopWord) {
    const words a{0xFFFFFFFFu, 0xFFFFFFFFu};
    const words b{0xFFFFFFFFu};
    words out(3, 77);
    // (2^64 - 1)(2^32 - 1) = 2^96 - 2^64 - 2^32 + 1
    EXPECT_EQ(mag_mul(a.data(), b.data(), out.data(), 2, 1), 0xFFFFFFFEu);
    EXPECT_EQ(out, (words{1, 0xFFFFFFFFu, 0xFFFFFFFEu}));
    const words two{2};
    EXPECT_EQ(mag_mul(two.data(), two.data(), out.data(), 1, 1), 0u);
    EXPECT_EQ(out[0], 4u);

    words in_place{0x80000000u, 0x80000000u, 99};
    EXPECT_EQ(mag_mul_word(in_place.data(), in_place.data(), 2, 2), 1u);
    EXPECT_EQ(in_place, (words{0, 1, 1}));
    // The low word times 10, plus 7, carries 9 into the second word.
    words w{0xFFFFFFFFu, 9};
    EXPECT_EQ(mag_mul_word_add(w.data(), w.data(), 2, 10, 7), 0u);
    EXPECT_EQ(w, (words{0xFFFFFFFDu, 99}));
}

} // namespace
} // namespace velmora
