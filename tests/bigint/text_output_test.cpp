#include "bigint/big_int.hpp"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

namespace velmora {
namespace {

TEST(TextOutput, RadixCaseAndWidthFromTheStream) {
    using std::ios_base;
    const ios_base::fmtflags none{};
    struct row { const char* value; ios_base::fmtflags flags; int width; const char* expected; };
    const row rows[] = {
        {"0", ios_base::dec, 0, "0"},
        {"-1", ios_base::dec, 0, "-1"},
        {"1000000000", ios_base::dec, 0, "1000000000"},
        {"0x100000000", ios_base::dec, 0, "4294967296"},
        {"-1000000000000000000", none, 0, "-1000000000000000000"},
        {"1000000000000000001", ios_base::dec, 0, "1000000000000000001"},
        {"0x100000000", ios_base::hex, 0, "100000000"},
        {"255", ios_base::hex, 0, "ff"},
        {"255", ios_base::hex | ios_base::uppercase, 0, "FF"},
        {"-0xabcdef0123456789", ios_base::hex | ios_base::uppercase, 0, "-ABCDEF0123456789"},
        {"0x100000000", ios_base::oct, 0, "40000000000"},
        {"0o10000000000", ios_base::oct, 0, "10000000000"},
        {"-12", ios_base::dec, 12, "         -12"},
        {"1234567890", ios_base::dec, 12, "  1234567890"},
        {"-12", ios_base::dec | ios_base::left, 6, "-12   "},
        {"0", ios_base::dec, 3, "  0"},
        {"12345", ios_base::dec, 3, "12345"},
    };
    for (const row& r : rows) {
        std::ostringstream out;
        out.flags(r.flags);
        out << std::setw(r.width) << big_int(r.value);
        EXPECT_EQ(out.str(), r.expected) << r.value << " width " << r.width;
        EXPECT_EQ(out.width(), 0);
        EXPECT_EQ(out.flags(), r.flags);
    }
}

TEST(TextOutput, FillIsKeptAndWidthReset) {
    std::ostringstream out;
    out << std::setfill('*') << std::setw(5) << big_int(-7) << big_int(8) << std::setw(3) << 9;
    EXPECT_EQ(out.str(), "***-78**9");
    EXPECT_EQ(out.fill(), '*');
}

} // namespace
} // namespace velmora
