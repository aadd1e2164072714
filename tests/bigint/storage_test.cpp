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

// The records of small values are shared by every thread and never written: copies,
// assignments and releases leave them as they are.
TEST(Storage, SharedRecordsOfSmallValuesAreNeverWritten) {
    const big_int zero, one(1), limit(-small_value_limit);
    {
        big_int a = zero, b(1), c(0), d = limit;
        a = one;
        b = c;
        c = big_int(1);
        d = a;
    }
    EXPECT_EQ(zero.rep().refs, static_record_refs);
    EXPECT_EQ(one.rep().refs, static_record_refs);
    EXPECT_EQ(limit.rep().refs, static_record_refs);
}

TEST(Storage, CopiesShareRecordsAndEveryRecordIsReleased) {
    const long before = live_big_int_reps();
    {
        big_int x(5000);
        big_int y(-7000);
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
        EXPECT_EQ(text_of(y), "5000");
    }
    EXPECT_EQ(live_big_int_reps(), before);
}

// Every way of making a small value ends at that value's shared record; the first value
// past the limit on either side has a record of its own.
TEST(Storage, SmallValuesAreSharedRecordsThatAllocateNothing) {
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
        const big_int limit(small_value_limit);
        const big_int limits[] = {-(-limit), big_int("1024"), big_int(1000) + big_int(24),
                                  big_int(2048) / big_int(2), big_int("0x10000000000000400") % big_int("0x10000000000000000"),
                                  big_int(32) * big_int(32), big_int(1025) - ones[0]};
        for (const big_int& x : limits) EXPECT_EQ(&x.rep(), &limit.rep());
        const big_int minus_limit[] = {-limit, big_int(-1024), big_int("-1024"), big_int(-1000) - big_int(24)};
        for (const big_int& x : minus_limit) {
            EXPECT_EQ(&x.rep(), &minus_limit[0].rep());
            EXPECT_EQ(x.rep().sign, -1);
        }
        EXPECT_EQ(live_big_int_reps(), before);
        const big_int past[] = {limit + ones[0], -limit - ones[0], big_int("1025"), big_int(1025)};
        EXPECT_EQ(live_big_int_reps(), before + 4);
        EXPECT_EQ(text_of(past[0]), "1025");
        EXPECT_EQ(text_of(past[1]), "-1025");
    }
    EXPECT_EQ(live_big_int_reps(), before);
}

TEST(Storage, ReleasedBlocksServeTheNextRecordsUntilReleasedToTheHeap) {
    release_pooled_records();
    { const big_int seven(7000); }
    fail_allocation_after(1);
    const big_int five(5000); // takes the block of 7000 from the pool: no allocation
    EXPECT_TRUE(allocation_failure_pending());
    fail_allocation_after(0);
    EXPECT_EQ(text_of(five), "5000");
    { const big_int eleven(11000); }
    release_pooled_records();
    fail_allocation_after(LONG_MAX);
    const big_int three(3000);
    EXPECT_EQ(allocations_before_failure(), LONG_MAX - 1);
    fail_allocation_after(0);
}

TEST(StorageDeathTest, FailedAllocationIsTheFatalHeapOverflow) {
    const char* report = "^Big arith fatal error: \n the heap overflow\n$";
    release_pooled_records(); // every record below comes from the heap
    // The one block of record and digit word of a one-word value.
    EXPECT_EXIT((fail_allocation_after(1), big_int(5000)), ::testing::ExitedWithCode(1), report);
    const big_int a("0x123456789abcdef0123");
    EXPECT_EXIT((fail_allocation_after(1), a * a), ::testing::ExitedWithCode(1), report);
    // The record of 7000, then the quotient's (the quotient alone builds no remainder).
    EXPECT_EXIT((fail_allocation_after(2), a / big_int(7000)), ::testing::ExitedWithCode(1), report);
    EXPECT_EXIT((fail_allocation_after(1), text_of(a)), ::testing::ExitedWithCode(1), report);
}

} // namespace
} // namespace velmora
