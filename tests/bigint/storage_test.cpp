#include "bigint/big_int.hpp"
#include "diag/testing.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <climits>

namespace velmora {
namespace {

void expect_zero_record(const big_int& z) {
    EXPECT_EQ(z.rep().sign, 0);
    EXPECT_EQ(z.rep().digits, nullptr);
    EXPECT_EQ(z.rep().len, 0u);
    EXPECT_EQ(z.rep().refs, 1);
}

TEST(Storage, ZeroHasOneFormAndExtremeIntsOneWord) {
    expect_zero_record(big_int());
    expect_zero_record(big_int(0));

    const big_int lowest(INT_MIN);
    EXPECT_EQ(lowest.rep().sign, -1);
    EXPECT_EQ(words_of(lowest), std::vector<std::uint32_t>{0x80000000u});
    const big_int highest(INT_MAX);
    EXPECT_EQ(highest.rep().sign, 1);
    EXPECT_EQ(words_of(highest), std::vector<std::uint32_t>{0x7FFFFFFFu});
}

TEST(Storage, CopiesShareRecordsAndEveryRecordIsReleased) {
    const long before = live_big_int_reps();
    {
        big_int x(5);
        big_int y(-7);
        EXPECT_EQ(live_big_int_reps(), before + 2);
        y = x; // y was the only holder of its record
        EXPECT_EQ(&y.rep(), &x.rep());
        EXPECT_EQ(x.rep().refs, 2);
        EXPECT_EQ(live_big_int_reps(), before + 1);
        x = x;
        y = x;
        EXPECT_EQ(x.rep().refs, 2);
        {
            const big_int z(y);
            EXPECT_EQ(x.rep().refs, 3);
        }
        EXPECT_EQ(x.rep().refs, 2);
        EXPECT_EQ(text_of(y), "5");
    }
    EXPECT_EQ(live_big_int_reps(), before);
}

TEST(StorageDeathTest, FailedAllocationIsTheFatalHeapOverflow) {
    const char* report = "^Big arith fatal error: \n the heap overflow\n$";
    // The digit word, then the record, of a one-word value.
    EXPECT_EXIT((fail_allocation_after(1), big_int(5)), ::testing::ExitedWithCode(1), report);
    EXPECT_EXIT((fail_allocation_after(2), big_int(5)), ::testing::ExitedWithCode(1), report);
    const big_int a("0x123456789abcdef0123");
    EXPECT_EXIT((fail_allocation_after(1), a * a), ::testing::ExitedWithCode(1), report);
    EXPECT_EXIT((fail_allocation_after(3), a / big_int(7)), ::testing::ExitedWithCode(1), report);
    EXPECT_EXIT((fail_allocation_after(1), text_of(a)), ::testing::ExitedWithCode(1), report);
}

} // namespace
} // namespace velmora
