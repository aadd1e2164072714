#include "diag/report.hpp"
#include "diag/testing.hpp"

#include <gtest/gtest.h>

#include <iostream>

namespace velmora {
namespace {

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override { reset_diagnostics(); }
    void TearDown() override { reset_diagnostics(); }
};

TEST_F(ReportTest, NonFatalReportersWriteExactPrefixAndMessage) {
    struct row { void (*report)(const char*); const char* expected; };
    const row rows[] = {
        {rational_warning, "Rationals Warning: m\n"},
        {rational_error, "Rationals Error: m\n"},
        {big_arith_warning, "Big arith warning: m\n"},
        {big_arith_error, "Big arith error: m\n"},
    };
    for (const row& r : rows) {
        ::testing::internal::CaptureStderr();
        r.report("m");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), r.expected);
    }
    ::testing::internal::CaptureStderr();
    matrix_error(-4, "matrix::operator >> : input error");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "matrix error: matrix::operator >> : input error\n");
}

TEST_F(ReportTest, MessageWithItsOwnNewlineIsWrittenUnchanged) {
    ::testing::internal::CaptureStderr();
    matrix_error(-1, "vector::can't insert new item: out of memory \n vector is not correct");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "matrix error: vector::can't insert new item: out of memory \n vector is not correct\n");
}

TEST_F(ReportTest, StatusKeepsTheFirstCode) {
    EXPECT_EQ(matrix_status, 1);
    ::testing::internal::CaptureStderr();
    matrix_error(-4, "first");
    matrix_error(-2, "second");
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "matrix error: first\nmatrix error: second\n");
    EXPECT_EQ(matrix_status, -4);
}

TEST_F(ReportTest, RationalAndBigIntegerReportsLeaveStatusAlone) {
    ::testing::internal::CaptureStderr();
    rational_warning("a");
    rational_error("b");
    big_arith_warning("c");
    big_arith_error("divide by zero");
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(ReportTest, AnyReportIsRecordedAndResetForgetsIt) {
    EXPECT_FALSE(report_written());
    ::testing::internal::CaptureStderr();
    big_arith_warning("empty string; treating as zero.");
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(report_written());
    reset_diagnostics();
    EXPECT_FALSE(report_written());
}

// The child writes to standard output without a line end, so the text is still
// buffered when the fatal report comes; the exit must flush it, before the report.
TEST(ReportDeathTest, FatalReportersExitWithStatusOneAfterPrefix) {
    EXPECT_EXIT(big_arith_fatal_error("the heap overflow"), ::testing::ExitedWithCode(1),
                "^Big arith fatal error: \n the heap overflow\n$");
    EXPECT_EXIT(rational_fatal_error("x"), ::testing::ExitedWithCode(1),
                "^Rationals Fatal Error: \n x\n$");
    EXPECT_EXIT(matrix_fatal_error(-6, "vector::operator[]: incorrect index"),
                ::testing::ExitedWithCode(1),
                "^matrix fatal error: vector::operator\\[\\]: incorrect index\n$");
}

TEST(ReportDeathTest, FatalMatrixReportKeepsEarlierStatusCode) {
    EXPECT_EXIT(
        {
            reset_diagnostics();
            matrix_error(-3, "earlier");
            matrix_fatal_error(-6, "later");
            // not reached
        },
        ::testing::ExitedWithCode(1), "matrix error: earlier\nmatrix fatal error: later\n");
    // The status of the first error survives the fatal one up to the exit.
    EXPECT_EXIT(
        {
            reset_diagnostics();
            matrix_error(-3, "earlier");
            std::atexit([] { std::cerr << "status " << matrix_status << '\n'; });
            matrix_fatal_error(-6, "later");
        },
        ::testing::ExitedWithCode(1), "status -3\n$");
}

} // namespace
} // namespace velmora
