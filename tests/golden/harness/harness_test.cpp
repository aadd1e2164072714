#include "case_file.hpp"
#include "compare.hpp"
#include "run_process.hpp"

#include <gtest/gtest.h>

namespace {

TEST(GoldenCompare, TimeTokenMatchesDigitsOnly) {
    EXPECT_EQ(golden::first_difference("!Time (seconds) =\n{{time}}\n", "!Time (seconds) =\n0\n"), "");
    EXPECT_EQ(golden::first_difference("{{time}}\n", "1234\n"), "");
    EXPECT_NE(golden::first_difference("{{time}}\n", "\n"), "");
    EXPECT_NE(golden::first_difference("{{time}}\n", "-1\n"), "");
}

TEST(GoldenCompare, ReportsOffsetLineAndEscapedBytes) {
    const std::string report = golden::first_difference("a\nb\tc\n", "a\nb\t\xC4\n");
    EXPECT_NE(report.find("byte 4, line 2, column 3"), std::string::npos) << report;
    EXPECT_NE(report.find("expected: b\\tc\\n"), std::string::npos) << report;
    EXPECT_NE(report.find("actual:   b\\t\\xC4\\n"), std::string::npos) << report;
}

TEST(GoldenCompare, MissingAndExtraOutputAreDifferences) {
    EXPECT_NE(golden::first_difference("abc", "ab").find("byte 2"), std::string::npos);
    EXPECT_NE(golden::first_difference("ab", "abc").find("<end of output>"), std::string::npos);
    EXPECT_EQ(golden::first_difference("", ""), "");
}

TEST(GoldenCaseFile, ParsesSectionsBytesAndOptions) {
    const std::string text =
        "# topic comment\n"
        "@@ case first\n"
        "@@ run zerk -l \"two words\"\n"
        "@@ status 1\n"
        "@@ stdin noeol\n"
        "1 1\n"
        "7\n"
        "@@ stdout\n"
        "\xDA\xC4 line\n"
        "@@ stderr escaped\n"
        "a\\tb\\x00\\n\n"
        "@@ end\n"
        "@@ case second\n"
        "@@ run zerkint\n"
        "@@ end\n";
    std::string error;
    const auto cases = golden::parse_cases(text, ".", error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(cases.size(), 2u);
    EXPECT_EQ(cases[0].name, "first");
    EXPECT_EQ(cases[0].program, "zerk");
    EXPECT_EQ(cases[0].args, (std::vector<std::string>{"-l", "two words"}));
    EXPECT_EQ(cases[0].expected_status, 1);
    EXPECT_EQ(cases[0].stdin_data, "1 1\n7");
    EXPECT_EQ(cases[0].expected_stdout, "\xDA\xC4 line\n");
    EXPECT_EQ(cases[0].expected_stderr, std::string("a\tb\0\n", 5));
    EXPECT_EQ(cases[1].stdin_data, "");
    EXPECT_EQ(cases[1].expected_status, 0);
}

TEST(GoldenCaseFile, RejectsMalformedFiles) {
    std::string error;
    golden::parse_cases("@@ case open\n@@ run zerk\n", ".", error);
    EXPECT_NE(error.find("no @@ end"), std::string::npos) << error;
    error.clear();
    golden::parse_cases("@@ case x\n@@ bogus\n@@ end\n", ".", error);
    EXPECT_NE(error.find("unknown marker"), std::string::npos) << error;
}

TEST(GoldenProcess, PassesInputAndCapturesBothOutputsAndStatus) {
    std::string big(300000, 'x');  // larger than a pipe buffer in both directions
    const auto r = golden::run_process("/bin/sh", {"-c", "cat; echo err >&2; exit 3"}, big, 30);
    EXPECT_EQ(r.abnormal, "");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, big);
    EXPECT_EQ(r.err, "err\n");
}

TEST(GoldenProcess, ReportsSignalsAsAbnormal) {
    const auto r = golden::run_process("/bin/sh", {"-c", "kill -SEGV $$"}, "", 30);
    EXPECT_EQ(r.status, -1);
    EXPECT_NE(r.abnormal.find("signal"), std::string::npos);
}

} // namespace
