#include "bigint/mag.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using words = std::vector<mag_word>;

TEST(MagAddSub, CarryOutGrowsBorrowOutIsReported) {
    words a{0xFFFFFFFFu, 0xFFFFFFFFu, 0};
    const words one{1};
    EXPECT_EQ(mag_add(a.data(), one.data(), 2, 1), 3u);
    EXPECT_EQ(a, (words{0, 0, 1}));

    EXPECT_EQ(mag_sub(a.data(), one.data(), 3, 1), 0);
    EXPECT_EQ(a, (words{0xFFFFFFFFu, 0xFFFFFFFFu, 0}));

    words small{1, 7};
    const words larger{2, 7};
    EXPECT_EQ(mag_sub(small.data(), larger.data(), 2, 2), 1);
    EXPECT_EQ(small, (words{0xFFFFFFFFu, 0xFFFFFFFFu}));
}

TEST(MagAddSub, LengthIgnoresHighZeroWords) {
    const words w{1, 0, 2, 0, 0};
    EXPECT_EQ(mag_length(w.data(), 5), 3u);
    EXPECT_EQ(mag_length(w.data(), 2), 1u);
    EXPECT_EQ(mag_length(w.data() + 3, 2), 0u);
    EXPECT_EQ(mag_length(w.data(), 0), 0u);
}

} // namespace
} // namespace velmora
