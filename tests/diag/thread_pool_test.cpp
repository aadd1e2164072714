// The pool against its contract: every call made exactly once at any thread count,
// nested regions, and a fatal report in a worker made once, on the calling thread,
// after the output written before it.
#include "diag/deferred_fatal.hpp"
#include "diag/report.hpp"
#include "diag/testing.hpp"
#include "diag/thread_pool.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <vector>

namespace velmora {
namespace {

TEST(ThreadPool, EveryCallOnceAtEveryThreadCount) {
    for (int threads : {1, 2, 3, 8}) {
        set_thread_count(threads);
        for (std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(1000)}) {
            std::vector<std::atomic<int>> calls(count);
            std::atomic<long> nested{0};
            parallel_for(count, [&](std::size_t i) {
                calls[i].fetch_add(1);
                parallel_for(3, [&](std::size_t) { nested.fetch_add(1); });
            });
            for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(calls[i].load(), 1) << threads << " threads, call " << i;
            EXPECT_EQ(nested.load(), long(3 * count));
        }
    }
    set_thread_count(1);
}

TEST(ThreadPoolDeathTest, FatalReportInAWorkerIsMadeOnceByTheCallingThread) {
    EXPECT_EXIT(
        {
            set_thread_count(4);
            std::cout << "before" << std::flush;
            parallel_for(64, [](std::size_t i) {
                if (i % 2 == 1) big_arith_fatal_error("the heap overflow");
            });
            std::cout << "after" << std::flush;
        },
        ::testing::ExitedWithCode(1), "^Big arith fatal error: \n the heap overflow\n$");
}

// A failure where nothing may be unwound (inside GMP) is reported once where it stands.
TEST(ThreadPoolDeathTest, FatalReportInPlaceOnAWorker) {
    EXPECT_EXIT(
        {
            set_thread_count(4);
            parallel_for(64, [](std::size_t i) {
                if (i % 3 == 2) big_arith_fatal_error_in_place("the heap overflow");
            });
        },
        ::testing::ExitedWithCode(1), "^Big arith fatal error: \n the heap overflow\n$");
}

} // namespace
} // namespace velmora
