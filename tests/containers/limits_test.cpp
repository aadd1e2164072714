#include "containers/limits.hpp"

#include <gtest/gtest.h>

#include <climits>

namespace velmora {
namespace {

TEST(ContainerLimits, GrownSlotCountRefusesWhatAnIntCannotCount) {
    EXPECT_EQ(grown_slot_count(9998, 2), 10000u);
    EXPECT_EQ(grown_slot_count(0, INT_MAX), static_cast<std::size_t>(INT_MAX));
    EXPECT_EQ(grown_slot_count(1, INT_MAX), 0u);
    EXPECT_EQ(grown_slot_count(10000, INT_MAX - 9999), 0u);
}

} // namespace
} // namespace velmora
