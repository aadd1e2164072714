#include "containers/framed_table.hpp"
#include "rational/text.hpp"

#include "support/exact_numbers.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <string>
#include <string_view>

namespace velmora {
namespace {

using namespace testing_support;

class FramedTableTest : public containers_test {};

template <class T>
std::string framed(const matrix<T>& left, const matrix<T>& right) {
    std::ostringstream out;
    output_framed_pair(out, left, right);
    return out.str();
}

std::string run(int count) { return std::string(static_cast<std::size_t>(count), '\xC4'); }

TEST_F(FramedTableTest, TwoMatricesSideBySideInOneFrame) {
    const matrix<fraction> left = matrix_of<fraction>(1, 2, {fraction(1), fraction(-1, 2)});
    const matrix<fraction> right = matrix_of<fraction>(1, 2, {fraction(1), fraction(0)});
    EXPECT_EQ(entry_width(left), 4);
    const std::string top = " \xDA" + run(11) + "\xC2" + run(11) + "\xBF\n";
    const std::string body = " \xB3    1 -1/2 \xB3    1    0 \xB3\n";
    const std::string bottom = " \xC0" + run(11) + "\xC1" + run(11) + "\xD9\n";
    EXPECT_EQ(top.size(), 27u);  // 26 bytes and the line feed
    EXPECT_EQ(body.size(), 27u);
    EXPECT_EQ(framed(left, right), top + body + bottom);
}

TEST_F(FramedTableTest, EveryEntryIsRightAlignedToTheWidestWhateverTheStreamSettings) {
    const matrix<fraction> left = matrix_of<fraction>(2, 2, {fraction(-12, 7), fraction(3), fraction(-3), fraction(10)});
    const matrix<fraction> right = matrix_of<fraction>(2, 1, {fraction(1), fraction(-1)});
    std::ostringstream out;
    out << std::left << std::setfill('*');
    output_framed_pair(out, left, right);
    const std::string expected = " \xDA" + run(13) + "\xC2" + run(7) + "\xBF\n" +
                                 " \xB3 -12/7     3 \xB3     1 \xB3\n" +
                                 " \xB3    -3    10 \xB3    -1 \xB3\n" +
                                 " \xC0" + run(13) + "\xC1" + run(7) + "\xD9\n";
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(expected.size(), 4 * (6 + 6 * 3 + 1u));
}

TEST_F(FramedTableTest, ColumnlessMatricesAndWidths) {
    EXPECT_EQ(framed(matrix<int>(2, 0), matrix<int>(2, 0)),
              " \xDA\xC4\xC2\xC4\xBF\n \xB3 \xB3 \xB3\n \xB3 \xB3 \xB3\n \xC0\xC4\xC1\xC4\xD9\n");
    EXPECT_EQ(entry_width(matrix<int>(0, 4)), 0);
    EXPECT_EQ(entry_width(matrix_of(1, 3, {7, -1234, 99})), 5);
    EXPECT_EQ(entry_width(matrix_of<long long>(1, 1, {-1000000000000LL})), 14);
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(FramedTableTest, MissingRowsOfTheRightMatrixAreReportedAndShowZero) {
    std::string table;
    const std::string err = reports_of([&] { table = framed(matrix_of(2, 1, {1, 2}), matrix_of(1, 1, {5})); });
    EXPECT_EQ(err, error_line("matrix::at: incorrect indices"));
    EXPECT_EQ(table, " \xDA\xC4\xC4\xC4\xC2\xC4\xC4\xC4\xBF\n \xB3 1 \xB3 5 \xB3\n \xB3 2 \xB3 0 \xB3\n"
                     " \xC0\xC4\xC4\xC4\xC1\xC4\xC4\xC4\xD9\n");
}

TEST_F(FramedTableTest, RationalAndBigIntegerEntries) {
    const exact_rational minus_half(big_int(-1), big_int(2));
    const matrix<exact_rational> left = matrix_of<exact_rational>(1, 2, {exact_rational(1), minus_half});
    const matrix<exact_rational> right = matrix_of<exact_rational>(1, 2, {exact_rational(1), exact_rational(0)});
    EXPECT_EQ(framed(left, right), " \xDA" + run(11) + "\xC2" + run(11) + "\xBF\n" +
                                       " \xB3    1 -1/2 \xB3    1    0 \xB3\n" +
                                       " \xC0" + run(11) + "\xC1" + run(11) + "\xD9\n");

    const exact_rational widest(big_int(-12), big_int(7));
    const matrix<exact_rational> l = matrix_of<exact_rational>(1, 2, {exact_rational(3), exact_rational(-3)});
    const matrix<exact_rational> r = matrix_of<exact_rational>(1, 1, {widest});
    EXPECT_EQ(entry_width(r), 5);
    EXPECT_EQ(framed(l, r), " \xDA" + run(13) + "\xC2" + run(7) + "\xBF\n" +
                                " \xB3     3    -3 \xB3 -12/7 \xB3\n" +
                                " \xC0" + run(13) + "\xC1" + run(7) + "\xD9\n");

    const big_int ten_to_the_twenty = big_int("100000000000000000000");
    EXPECT_EQ(entry_width(matrix_of<big_int>(1, 2, {big_int(5), -ten_to_the_twenty})), 22);
    EXPECT_EQ(matrix_status, 1);
}

// Counts what is written and keeps none of it; horizontal counts the bytes written
// in runs of the given horizontal line character.
class byte_counter : public std::streambuf {
public:
    explicit byte_counter(std::string_view line) : line_(line) {}
    std::uint64_t count = 0;
    std::uint64_t horizontal = 0;

protected:
    int_type overflow(int_type c) override {
        ++count;
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const std::string_view text(s, static_cast<std::size_t>(n));
        count += text.size();
        // A run is written as whole copies of the line character.
        if (text.size() % line_.size() == 0 && text.substr(0, line_.size()) == line_ &&
            text.substr(text.size() - line_.size()) == line_)
            horizontal += text.size();
        return n;
    }

private:
    std::string_view line_;
};

// Frame lines as long as a wide table of long entries has (beyond 2^32 bytes, and with
// three bytes to a UTF-8 line character beyond 2^33) are counted without overflow and
// written in full, in pieces.
TEST_F(FramedTableTest, FrameLinesLongerThanAnIntCanCount) {
    for (const frame_glyphs* glyphs : {&code_page_437_frame, &utf8_frame}) {
        byte_counter counter(glyphs->horizontal);
        std::ostream out(&counter);
        const std::uint64_t width = std::uint64_t(1) << 31;
        detail::frame_line(out, *glyphs, glyphs->top, width, 1, 1);
        EXPECT_TRUE(out.good());
        const std::uint64_t char_bytes = glyphs->horizontal.size();
        EXPECT_EQ(counter.horizontal, 2 * (width + 2) * char_bytes);
        // a space, the corners and the junction, the runs, and "\n"
        EXPECT_EQ(counter.count, 2 + 3 * char_bytes + 2 * (width + 2) * char_bytes);
    }
}

} // namespace
} // namespace velmora
