#include "bigint/big_int.hpp"
#include "bigint/radix_groups.hpp"

#include <gtest/gtest.h>

#include <sstream>

namespace velmora {
namespace {

TEST(Radix, GroupsAreTheLongestPowersBelowAWord) {
    struct row { int radix; mag_word P; int k; };
    for (const row r : {row{10, 10000000000000000000u, 19}, row{16, mag_word(1) << 60, 15},
                        row{8, mag_word(1) << 63, 21}}) {
        mag_word P = 0;
        int k = 0;
        group_size(r.radix, P, k);
        EXPECT_EQ(P, r.P) << r.radix;
        EXPECT_EQ(k, r.k) << r.radix;
    }
}

TEST(Radix, StreamBaseReadsAndSetsTheBaseFlags) {
    std::ostringstream s;
    const std::ios_base::fmtflags base = std::ios_base::basefield;
    s.flags(std::ios_base::fmtflags{});
    EXPECT_EQ(stream_base(s), 10);
    s.setf(std::ios_base::oct | std::ios_base::hex, base);
    EXPECT_EQ(stream_base(s), 16);
    s.setf(std::ios_base::oct | std::ios_base::hex | std::ios_base::dec, base);
    EXPECT_EQ(stream_base(s), 10);
    s.setf(std::ios_base::oct, base);
    EXPECT_EQ(stream_base(s), 8);

    const struct { int radix; std::ios_base::fmtflags flag; } rows[] = {
        {16, std::ios_base::hex}, {8, std::ios_base::oct}, {10, std::ios_base::dec}, {7, std::ios_base::dec}};
    for (const auto& r : rows) {
        s.setf(std::ios_base::oct | std::ios_base::hex | std::ios_base::dec | std::ios_base::uppercase);
        set_stream_base(s, r.radix);
        EXPECT_EQ(s.flags() & base, r.flag) << r.radix;
        EXPECT_TRUE(s.flags() & std::ios_base::uppercase);
    }
}

} // namespace
} // namespace velmora
