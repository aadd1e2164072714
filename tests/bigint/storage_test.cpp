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
}

TEST(Storage, ZeroHasOneFormAndExtremeIntsOneWord) {
    expect_zero_record(big_int());
    expect_zero_record(big_int(0));
    const big_int one(1);
    EXPECT_EQ(one.rep().sign, 1);
    EXPECT_EQ(words_of(one), std::vector<std::uint32_t>{1});

    const big_int lowest(INT_MIN);
    EXPECT_EQ(lowest.rep().sign, -1);
    EXPECT_EQ(words_of(lowest), std::vector<std::uint32_t>{0x80000000u});
    const big_int highest(INT_MAX);
    EXPECT_EQ(highest.rep().sign, 1);
    EXPECT_EQ(words_of(highest), std::vector<std::uint32_t>{0x7FFFFFFFu});
}

// The records of 0 and 1 are shared by every thread and never written: copies, assignments
// and releases leave them as they are.
TEST(Storage, SharedRecordsOfZeroAndOneAreNeverWritten) {
    const big_int zero, one(1);
    {
        big_int a = zero, b(1), c(0);
        a = one;
        b = c;
        c = big_int(1);
    }
    EXPECT_EQ(zero.rep().refs, static_record_refs);
    EXPECT_EQ(one.rep().refs, static_record_refs);
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

TEST(Storage, ZeroAndOneAreSharedRecordsThatAllocateNothing) {
    const long before = live_big_int_reps();
    {
        const big_int zeros[] = {big_int(), big_int(0), big_int(7) - big_int(7), big_int(3) * 0,
                                 big_int(5) / big_int(6), big_int("0"), big_int(12) % big_int(4)};
        const big_int ones[] = {big_int(1), big_int(8) - big_int(7), big_int(-1) * big_int(-1),
                                big_int(6) / big_int(6), big_int("1"), big_int(13) % big_int(4),
                                big_int("0x10000000000000001") % big_int("0x10000000000000000")};
        for (const big_int& z : zeros) {
            expect_zero_record(z);
            EXPECT_EQ(&z.rep(), &zeros[0].rep());
        }
        for (const big_int& x : ones) EXPECT_EQ(&x.rep(), &ones[0].rep());
        EXPECT_EQ(live_big_int_reps(), before);
        // -1 has a record of its own.
        const big_int minus_one = -ones[0];
        EXPECT_EQ(live_big_int_reps(), before + 1);
        EXPECT_EQ(text_of(minus_one), "-1");
    }
    EXPECT_EQ(live_big_int_reps(), before);
}

TEST(Storage, ReleasedBlocksServeTheNextRecordsUntilReleasedToTheHeap) {
    release_pooled_records();
    { const big_int seven(7); }
    fail_allocation_after(1);
    const big_int five(5); // takes the block of 7 from the pool: no allocation
    EXPECT_TRUE(allocation_failure_pending());
    fail_allocation_after(0);
    EXPECT_EQ(text_of(five), "5");
    { const big_int eleven(11); }
    release_pooled_records();
    fail_allocation_after(LONG_MAX);
    const big_int three(3);
    EXPECT_EQ(allocations_before_failure(), LONG_MAX - 1);
    fail_allocation_after(0);
}

TEST(StorageDeathTest, FailedAllocationIsTheFatalHeapOverflow) {
    const char* report = "^Big arith fatal error: \n the heap overflow\n$";
    release_pooled_records(); // every record below comes from the heap
    // The one block of record and digit word of a one-word value.
    EXPECT_EXIT((fail_allocation_after(1), big_int(5)), ::testing::ExitedWithCode(1), report);
    const big_int a("0x123456789abcdef0123");
    EXPECT_EXIT((fail_allocation_after(1), a * a), ::testing::ExitedWithCode(1), report);
    // The record of 7, then the quotient's (the quotient alone builds no remainder).
    EXPECT_EXIT((fail_allocation_after(2), a / big_int(7)), ::testing::ExitedWithCode(1), report);
    EXPECT_EXIT((fail_allocation_after(1), text_of(a)), ::testing::ExitedWithCode(1), report);
}

} // namespace
} // namespace velmora
