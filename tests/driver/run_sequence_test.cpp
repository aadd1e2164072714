#include "diag/testing.hpp"
#include "driver/program.hpp"
#include "driver/tools.hpp"
#include "modular/modular_lu.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>

namespace velmora {
namespace {

// A stream buffer that refuses every write, as a full disk does.
class full_device : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

template <class Tool>
int run(std::initializer_list<const char*> args, const std::string& input, std::ostream& out) {
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), args);
    std::istringstream in(input);
    return run_program<Tool>(static_cast<int>(argv.size()), argv.data(), in, out);
}

class RunSequence : public ::testing::Test {
protected:
    void SetUp() override { reset_diagnostics(); }
    void TearDown() override { reset_diagnostics(); }
};

TEST_F(RunSequence, CleanRunExitsZero) {
    std::ostringstream out;
    EXPECT_EQ(run<zerk_tool>({"-r"}, "2 2\n0 2\n1 1\n", out), 0);
    EXPECT_EQ(out.str(), "2\n");
    EXPECT_EQ(run<zerkint_tool>({"-d"}, "2 2\n6 4\n4 6\n", out), 0);
    EXPECT_EQ(out.str(), "2\n20\n");
}

TEST_F(RunSequence, LostOutputIsAFailureWithoutAnyReport) {
    full_device device;
    std::ostream out(&device);
    EXPECT_EQ(run<zerk_tool>({"-r"}, "1 1\n5\n", out), 1);
    EXPECT_FALSE(report_written());
}

TEST_F(RunSequence, AnyReportDuringTheRunMakesTheStatusOne) {
    std::ostringstream out;
    ::testing::internal::CaptureStderr();
    const int status = run<zerkint_tool>({"-a"}, "1 2\n7 x\n", out);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "Big arith warning: empty string; treating as zero.\n");
    EXPECT_EQ(out.str(), "1 2\n7\t0\t\n");
}

// --utf8 and --latex set the narration style for the run only: a caller's own style
// on the stream is back once the run returns.
TEST_F(RunSequence, OptionsStyleTheNarrationOfTheRunAlone) {
    std::ostringstream out;
    set_narration_style(out, narration_style::utf8);
    EXPECT_EQ(run<zerkint_tool>({"-m", "-d", "--latex"}, "1 1\n-2\n", out), 0);
    EXPECT_NE(out.str().find("Elimination in column 0\\par\n\\noindent $R_{0} \\leftarrow -R_{0}$\\par\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(narration_style_of(out), narration_style::utf8);
    out.str("");
    set_narration_style(out, narration_style::latex);
    EXPECT_EQ(run<zerkint_tool>({"-m", "-d", "--utf8"}, "1 1\n-2\n", out), 0);
    EXPECT_NE(out.str().find(" \xE2\x94\x82  2 \xE2\x94\x82 -1 \xE2\x94\x82\n"), std::string::npos) << out.str();
    EXPECT_EQ(narration_style_of(out), narration_style::latex);
}

// Factorisations modulo primes that the run of Tool with args on input starts.
template <class Tool>
long factorisations_of(std::initializer_list<const char*> args, const std::string& input, std::ostream& out) {
    const long before = factorisations_started();
    run<Tool>(args, input, out);
    return factorisations_started() - before;
}

// A and the time are printed as read and as measured: a run asking for nothing else
// eliminates nothing, while any result of the elimination makes the engine factor.
template <class Tool>
void check_reduction_only_for_its_results() {
    const std::string input = "3 3\n2 -1 4\n0 3 5\n7 1 -2\n";
    std::ostringstream out;
    EXPECT_GT(factorisations_of<Tool>({"-r"}, input, out), 0);
    EXPECT_EQ(out.str(), "3\n");
    out.str("");
    EXPECT_EQ(factorisations_of<Tool>({"-a"}, input, out), 0);
    EXPECT_EQ(out.str(), "3 3\n2\t-1\t4\t\n0\t3\t5\t\n7\t1\t-2\t\n");
    out.str("");
    // Whole seconds of the wall clock: 1 when its readings fall on both sides of a tick.
    EXPECT_EQ(factorisations_of<Tool>({"-t"}, input, out), 0);
    EXPECT_TRUE(out.str() == "0\n" || out.str() == "1\n") << out.str();
    out.str("");
    EXPECT_EQ(factorisations_of<Tool>({"-a", "-t"}, input, out), 0);
    EXPECT_EQ(out.str().substr(0, out.str().size() - 2),
              "!a:\n3 3\n2\t-1\t4\t\n0\t3\t5\t\n7\t1\t-2\t\n!Time (seconds) =\n");
    EXPECT_FALSE(report_written());
}

TEST_F(RunSequence, OnlyRunsPrintingAReducedResultReduce) {
    check_reduction_only_for_its_results<zerk_tool>();
    check_reduction_only_for_its_results<zerkint_tool>();
}

// After an input error the reduction's own reports follow the reader's, whatever is printed.
TEST_F(RunSequence, AnInputErrorReducesForItsReportsWithAAlone) {
    std::ostringstream out;
    ::testing::internal::CaptureStderr();
    const int status = run<zerk_tool>({"-a"}, "2 2\n1\n", out);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err, "matrix error: matrix::operator >> : input error\n"
                   "matrix error: matrix::operator= :can't assign matrix\n"
                   "matrix error: matrix::operator= :can't assign matrix\n");
    EXPECT_EQ(out.str(), "2 2\n1\t0\t\n0\t0\t\n");
}

TEST(ElapsedSeconds, ClockSetBackGivesZeroNotAWrappedValue) {
    EXPECT_EQ(elapsed_seconds(100, 100), 0UL);
    EXPECT_EQ(elapsed_seconds(100, 103), 3UL);
    EXPECT_EQ(elapsed_seconds(103, 100), 0UL);
}

} // namespace
} // namespace velmora
