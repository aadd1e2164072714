#include "bigint/mag.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using words = std::vector<mag_word>;

TEST(MagDiv, AddBackCaseWithNormalisationFactorOne) {
    words u{0, 0, 0x80000000u, 0x7FFFFFFFu, 0};
    words v{1, 0, 0x80000000u};
    words q(2);
    EXPECT_EQ(mag_divide(u.data(), v.data(), q.data(), 4, 3), 3u);
    EXPECT_EQ(q, (words{0xFFFFFFFEu, 0}));
    EXPECT_EQ(words(u.begin(), u.begin() + 3), (words{2, 0xFFFFFFFFu, 0x7FFFFFFFu}));
    EXPECT_EQ(v, (words{1, 0, 0x80000000u}));
}

TEST(MagDiv, DivisorIsLeftNormalised) {
    // 0x0123456789abcdef00112233 / 0x100000005; the factor is 2^31.
    words u{0x00112233u, 0x89abcdefu, 0x01234567u, 0};
    words v{5, 1};
    words q(2);
    EXPECT_EQ(mag_divide(u.data(), v.data(), q.data(), 3, 2), 1u);
    EXPECT_EQ(q, (words{0x83fb72e9u, 0x01234567u}));
    EXPECT_EQ(u[0], 0x6c27e3a6u);
    EXPECT_EQ(u[1], 0u);
    EXPECT_EQ(v, (words{0x80000000u, 0x80000002u}));
}

} // namespace
} // namespace velmora
