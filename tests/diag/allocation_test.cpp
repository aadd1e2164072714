#include "diag/allocation.hpp"
#include "diag/testing.hpp"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Allocation, ArraysAreZeroedAndInjectedFailureHitsExactlyTheKthCall) {
    int* a = allocate_array<int>(4);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a[0] + a[1] + a[2] + a[3], 0);
    delete[] a;

    fail_allocation_after(3);
    int* first = allocate_raw<int>(1);
    int* second = allocate_array<int>(1);
    EXPECT_TRUE(allocation_failure_pending());
    int* third = allocate_object<int>(7);
    int* fourth = allocate_object<int>(8);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(third, nullptr);
    ASSERT_NE(fourth, nullptr);
    EXPECT_EQ(*fourth, 8);
    EXPECT_FALSE(allocation_failure_pending());
    delete[] first;
    delete[] second;
    delete fourth;
}

} // namespace
} // namespace velmora
