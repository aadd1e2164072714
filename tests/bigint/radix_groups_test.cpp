#include "bigint/radix_groups.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

using words = std::vector<mag_word>;

TEST(RadixGroups, SplitAndJoinAreInverse) {
    const mag_word billion = 1000000000u;
    // 10^18 + 5 is the groups 5, 0, 1.
    const words value{0xA7640005u, 0x0DE0B6B3u};
    words a = value;
    words groups(4);
    ASSERT_EQ(mag_to_groups(a.data(), groups.data(), 2, billion), 3u);
    EXPECT_EQ(words(groups.begin(), groups.begin() + 3), (words{5, 0, 1}));

    groups = {5, 0, 1, 0, 0};
    words out(5);
    ASSERT_EQ(groups_to_mag(groups.data(), out.data(), 5, billion), 2u);
    EXPECT_EQ(words(out.begin(), out.begin() + 2), value);

    const words zeros(3);
    EXPECT_EQ(groups_to_mag(zeros.data(), out.data(), 3, billion), 0u);

    words two_32{0, 1};
    ASSERT_EQ(mag_to_groups(two_32.data(), groups.data(), 2, 1u << 28), 2u);
    EXPECT_EQ(words(groups.begin(), groups.begin() + 2), (words{0, 16}));
}

} // namespace
} // namespace velmora
