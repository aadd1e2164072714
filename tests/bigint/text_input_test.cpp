#include "bigint/big_int.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

namespace velmora {
namespace {

constexpr const char* warning = "Big arith warning: empty string; treating as zero.\n";

enum end_state { good, eof_only, failed };

struct row {
    const char* text;
    const char* value;  // decimal
    const char* rest;   // left in the stream
    bool warns;
    end_state state;
};

void expect_read(const row& r) {
    std::istringstream in(r.text);
    big_int x(99);
    ::testing::internal::CaptureStderr();
    in >> x;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), r.warns ? warning : "") << '"' << r.text << '"';
    EXPECT_EQ(text_of(x), r.value) << '"' << r.text << '"';
    const end_state state = in.fail() ? failed : in.eof() ? eof_only : good;
    EXPECT_EQ(state, r.state) << '"' << r.text << '"';
    EXPECT_FALSE(in.bad());
    in.clear();
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), r.rest) << '"' << r.text << '"';
}

TEST(TextInput, EveryTextForm) {
    const row rows[] = {
        // Signs, prefixes and leading zeros.
        {"0 ", "0", " ", false, good},
        {"-0 ", "0", " ", false, good},
        {"000\n", "0", "\n", false, good},
        {"  \n\t+42x", "42", "x", false, good},
        {"017 ", "17", " ", false, good},
        {"08 ", "8", " ", false, good},
        {"0o17 ", "15", " ", false, good},
        {"-0o777/", "-511", "/", false, good},
        {"0x1F ", "31", " ", false, good},
        {"0x1f ", "31", " ", false, good},
        {"0x00ff ", "255", " ", false, good},
        {"0X1F ", "0", "X1F ", false, good},
        {"0o8 ", "0", "8 ", false, good},
        {"0x ", "0", " ", false, good},
        {"12 34", "12", " 34", false, good},
        // No digit: zero with the warning.
        {"  /", "0", "/", true, good},
        {"- 5", "0", " 5", true, good},
        {"+-1", "0", "-1", true, good},
        {"x", "0", "x", true, good},
        // Digits are grouped from the least significant end.
        {"-12345678901234567890 ", "-12345678901234567890", " ", false, good},
        {"1012345678 ", "1012345678", " ", false, good},
        {"0x100000000 ", "4294967296", " ", false, good},
        {"0x123456789ABCDEFabcdef0 ", "22007822920628982557499120", " ", false, good},
        {"0o1234567012345670123 ", "23528931761549395", " ", false, good},
        // End of input.
        {"", "0", "", false, failed},
        {" \n ", "0", "", false, failed},
        {"-", "0", "", false, failed},
        {"0", "0", "", false, eof_only},
        {"-0", "0", "", false, eof_only},
        {"000", "0", "", false, eof_only},
        {"0x", "0", "", false, eof_only},
        {"0o", "0", "", false, eof_only},
        {"42", "42", "", false, eof_only},
        {"-0x1f", "-31", "", false, eof_only},
    };
    for (const row& r : rows) expect_read(r);
    EXPECT_EQ(words_of(big_int("4294967296")), (std::vector<std::uint32_t>{0, 1}));
}

TEST(TextInput, FailedStreamGivesZeroAndStaysFailed) {
    std::istringstream in("12 34");
    in.setstate(std::ios_base::failbit);
    big_int x(5);
    ::testing::internal::CaptureStderr();
    in >> x;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(text_of(x), "0");
    EXPECT_TRUE(in.fail());

    std::istringstream ended("7");
    ended >> x >> x;
    EXPECT_EQ(text_of(x), "0");
    EXPECT_TRUE(ended.fail());
}

} // namespace
} // namespace velmora
