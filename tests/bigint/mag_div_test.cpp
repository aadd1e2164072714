#include "bigint/mag.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using words = std::vector<mag_word>;

constexpr mag_word ones = ~mag_word(0);
constexpr mag_word top_bit = mag_word(1) << 63;

TEST(MagDiv, AddBackCaseWithNormalisationFactorOne) {
    words u{0, 0, top_bit, top_bit - 1, 0};
    words v{1, 0, top_bit};
    words q(2);
    EXPECT_EQ(mag_divide(u.data(), v.data(), q.data(), 4, 3), 3u);
    EXPECT_EQ(q, (words{ones - 1, 0}));
    EXPECT_EQ(words(u.begin(), u.begin() + 3), (words{2, ones, top_bit - 1}));
    EXPECT_EQ(v, (words{1, 0, top_bit}));
}

TEST(MagDiv, DivisorIsLeftNormalised) {
    // 0x0123456789abcdef00112233445566778899aabbccddeeff / 0x10000000000000005; the factor is 2^63.
    words u{0x8899aabbccddeeffu, 0x0011223344556677u, 0x0123456789abcdefu, 0};
    words v{5, 1};
    words q(2);
    EXPECT_EQ(mag_divide(u.data(), v.data(), q.data(), 3, 2), 1u);
    EXPECT_EQ(q, (words{0xfa60c72d93fa60ccu, 0x0123456789abcdeeu}));
    EXPECT_EQ(u[0], 0xa4b5c6d7e8fa0b03u);
    EXPECT_EQ(u[1], 0u);
    EXPECT_EQ(v, (words{top_bit, top_bit + 2}));
}

TEST(MagDiv, OneWordDivisorTakesTwoWordSteps) {
    // (2^128 - 1) / (2^64 - 1) = 2^64 + 1; (2^64 + 7) % 10 = 3 (2^64 = 18446744073709551616).
    const words a{ones, ones};
    words q(2);
    EXPECT_EQ(mag_div_word(a.data(), q.data(), 2, ones), 0u);
    EXPECT_EQ(q, (words{1, 1}));
    const words b{7, 1};
    EXPECT_EQ(mag_div_word(b.data(), q.data(), 2, 10), 3u);
    EXPECT_EQ(q, (words{1844674407370955162u, 0}));
}

} // namespace
} // namespace velmora
