// Shared pieces of the container tests: a clean diagnostic state per test, the
// text of reports, and (from support/seed.hpp) the seeds of randomized tests.
#pragma once

#include "diag/report.hpp"
#include "diag/testing.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace velmora::testing_support {

// Every test starts and ends with matrix_status 1 and no armed allocation failure.
class containers_test : public ::testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() {
        reset_diagnostics();
        fail_allocation_after(0);
    }
};

// Everything body writes to standard error.
template <class Body>
std::string reports_of(Body body) {
    ::testing::internal::CaptureStderr();
    body();
    return ::testing::internal::GetCapturedStderr();
}

// The line matrix_error writes for message.
inline std::string error_line(const std::string& message) { return "matrix error: " + message + "\n"; }

// Matches exactly the standard error of a death by matrix_fatal_error(message)
// in a process that reported nothing before.
inline ::testing::Matcher<const std::string&> fatal_report(const std::string& message) {
    return ::testing::Matcher<const std::string&>("matrix fatal error: " + message + "\n");
}

// One failing call of an operation on a container: the one report it must
// write and the code it must leave in matrix_status.
template <class C>
struct error_case {
    std::function<void(C&)> op;
    const char* message;
    int code;
};

// Runs every case on a fresh make() from a clean state, and checks its report,
// its code, and that the container is still equal to make().
template <class C, class Make>
void expect_reported_without_effect(std::initializer_list<error_case<C>> cases, Make make) {
    for (const error_case<C>& c : cases) {
        reset_diagnostics();
        C container = make();
        EXPECT_EQ(reports_of([&] { c.op(container); }), error_line(c.message));
        EXPECT_EQ(matrix_status, c.code) << c.message;
        EXPECT_TRUE(container == make()) << c.message;
    }
    reset_diagnostics();
}

// Whether the failure armed before an operation happened; disarms it, so
// that checks after the operation can allocate.
inline bool injected_failure_happened() {
    const bool happened = !allocation_failure_pending();
    fail_allocation_after(0);
    return happened;
}

// Calls attempt(k) for k = 1, 2, ...: attempt builds its operands, arms
// fail_allocation_after(k), runs the operation and checks the outcome, and
// returns injected_failure_happened(). The sweep ends with the first k
// that the operation no longer reaches; it returns the number of failing runs.
template <class Attempt>
int sweep_allocation_failures(Attempt attempt) {
    int failures = 0;
    for (long k = 1; attempt(k); ++k) {
        ++failures;
        reset_diagnostics();
    }
    fail_allocation_after(0);
    reset_diagnostics();
    return failures;
}

} // namespace velmora::testing_support
