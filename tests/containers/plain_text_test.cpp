#include "containers/plain_text.hpp"
#include "rational/text.hpp"

#include "diag/testing.hpp"
#include "diag/thread_pool.hpp"
#include "support/exact_numbers.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <streambuf>
#include <string>

namespace velmora {
namespace {

using namespace testing_support;

class PlainTextTest : public containers_test {};

template <class C>
std::string written(const C& c) {
    std::ostringstream out;
    out << c;
    return out.str();
}

// Reads c from text and returns what the text has left unread.
template <class C>
std::string read_into(C& c, const std::string& text) {
    std::istringstream in(text);
    in >> c;
    in.clear();
    std::string rest;
    std::getline(in, rest, '\0');
    return rest;
}

template <class C>
C read_from(const std::string& text) {
    C c;
    read_into(c, text);
    return c;
}

TEST_F(PlainTextTest, WritesCountsThenEveryEntryFollowedByATab) {
    EXPECT_EQ(written(matrix_of<fraction>(2, 2, {fraction(1), fraction(1, 2), fraction(0), fraction(-3)})),
              "2 2\n1\t1/2\t\n0\t-3\t\n");
    EXPECT_EQ(written(matrix_of(1, 1, {7})), "1 1\n7\t\n");
    EXPECT_EQ(written(matrix<int>(0, 3)), "0 3\n");
    EXPECT_EQ(written(matrix<int>(2, 0)), "2 0\n\n\n");
    EXPECT_EQ(written(vector_of({2, 5})), "2\n2\t5\t\n");
    EXPECT_EQ(written(vector<int>()), "0\n\n");

    // Counts are decimal whatever the stream's base; entries follow the stream.
    std::ostringstream hex;
    hex << std::hex << matrix<int>(12, 0) << vector_of({10, 11});
    EXPECT_EQ(hex.str(), "12 0\n" + std::string(12, '\n') + "2\na\tb\t\n");
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(PlainTextTest, ReadsEntriesWhateverSeparatesThem) {
    const matrix<int> expected = matrix_of(2, 3, {1, -2, 3, 4, 5, 6});
    EXPECT_EQ(read_from<matrix<int>>("2 3\n1 -2 3\n4 5 6\n"), expected);
    EXPECT_EQ(read_from<matrix<int>>("  2\t3 1 -2 3 4 5 6"), expected);
    EXPECT_EQ(read_from<matrix<int>>("2\n3\n1\n-2\n3\n4\n5\n6"), expected);
    EXPECT_EQ(read_from<vector<fraction>>("3 4/6 -1 6/-4"), vector_of({fraction(2, 3), fraction(-1), fraction(-3, 2)}));
    matrix<int> a;
    EXPECT_EQ(read_into(a, "1 1 7 8"), " 8");
    EXPECT_EQ(a, matrix_of(1, 1, {7}));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(PlainTextTest, FailedInputIsReportedAfterReadingEverythingAttempted) {
    struct row {
        const char* text;
        std::string reports;
        int rows, cols, code;
    };
    const std::string input_error = error_line("matrix::operator >> : input error");
    const std::string bad_sizes = error_line("can't resize matrix:\n incorrect sizes");
    const row rows[] = {
        {"", input_error, 0, 0, -4},
        {"x", input_error, 0, 0, -4},
        {"2", input_error, 2, 0, -4},
        {"2 x 5", input_error, 2, 0, -4},
        {"99999999999 2", bad_sizes + input_error, 0, 0, -2},  // the overflowing count is refused
        {"2 99999999999", bad_sizes + input_error, 0, 0, -2},
        {"-1 2 5", bad_sizes, 0, 0, -2},  // the stream itself has not failed
        {"9999 1", bad_sizes, 0, 0, -2},
    };
    for (const row& r : rows) {
        reset_diagnostics();
        matrix<int> a;
        EXPECT_EQ(reports_of([&] { read_into(a, r.text); }), r.reports) << r.text;
        EXPECT_EQ(a.rows(), r.rows) << r.text;
        EXPECT_EQ(a.cols(), r.cols) << r.text;
        EXPECT_EQ(matrix_status, r.code) << r.text;
    }
    reset_diagnostics();
    matrix<int> short_of_one;
    EXPECT_EQ(reports_of([&] { read_into(short_of_one, "2 2 1 2 3"); }), input_error);
    EXPECT_EQ(short_of_one, matrix_of(2, 2, {1, 2, 3, 0}));
    reset_diagnostics();
    vector<int> v;
    EXPECT_EQ(reports_of([&] { read_into(v, "2 1"); }), error_line("vector::operator >> : input error"));
    EXPECT_EQ(written(matrix<int>()), "0 0\n");
}

TEST_F(PlainTextTest, AfterAnEarlierErrorNothingIsReadBeyondTheCounts) {
    reports_of([] { vector<int>().del_item(0); });
    matrix<int> a;
    EXPECT_EQ(read_into(a, "1 2 3 4"), " 3 4");
    EXPECT_EQ(a, matrix<int>(1, 2));
}

TEST_F(PlainTextTest, RandomMatricesReadBackExactly) {
    const std::uint64_t seed = seed_from_environment(20240801);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    std::uniform_int_distribution<int> dim(0, 6);
    std::uniform_int_distribution<long long> big(LLONG_MIN / 2, LLONG_MAX / 2);
    std::uniform_int_distribution<long long> small(-50, 50);
    for (int round = 0; round < 100; ++round) {
        matrix<long long> wide(dim(gen), dim(gen));
        matrix<fraction> fractions(dim(gen), dim(gen));
        for (int i = 0; i < wide.rows(); ++i)
            for (int j = 0; j < wide.cols(); ++j) wide(i, j) = big(gen);
        for (int i = 0; i < fractions.rows(); ++i)
            for (int j = 0; j < fractions.cols(); ++j) {
                const long long den = small(gen);
                fractions(i, j) = fraction(small(gen), den == 0 ? 1 : den);
            }
        ASSERT_EQ(read_from<matrix<long long>>(written(wide)), wide);
        ASSERT_EQ(read_from<matrix<fraction>>(written(fractions)), fractions);
        vector<long long> items(dim(gen));
        for (int k = 0; k < items.size(); ++k) items[k] = big(gen);
        ASSERT_EQ(read_from<vector<long long>>(written(items)), items);
    }
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(PlainTextTest, RandomBigIntegerAndRationalMatricesReadBackExactly) {
    const std::uint64_t seed = seed_from_environment(20240802);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    std::uniform_int_distribution<int> dim(0, 5);
    for (int round = 0; round < 60; ++round) {
        matrix<big_int> integers(dim(gen), dim(gen));
        matrix<exact_rational> fractions(dim(gen), dim(gen));
        for (int i = 0; i < integers.rows(); ++i)
            for (int j = 0; j < integers.cols(); ++j) integers(i, j) = random_big(gen, 6);
        for (int i = 0; i < fractions.rows(); ++i)
            for (int j = 0; j < fractions.cols(); ++j) fractions(i, j) = random_rational(gen, 4);
        ASSERT_EQ(read_from<matrix<big_int>>(written(integers)), integers);
        ASSERT_EQ(read_from<matrix<exact_rational>>(written(fractions)), fractions);
        const vector<exact_rational> row = fractions.rows() > 0 ? fractions.row(0) : vector<exact_rational>();
        ASSERT_EQ(read_from<vector<exact_rational>>(written(row)), row);
    }
    EXPECT_EQ(matrix_status, 1);
}

// Large matrices are formatted in blocks over the threads: the same bytes as on one thread,
// for mostly zero entries (written by a shorter way) and other ones, also under flags
// that change how numbers look.
TEST_F(PlainTextTest, BlocksOverThreadsWriteTheSameBytes) {
    const std::uint64_t seed = seed_from_environment(7);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    matrix<exact_rational> a(90, 70);
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j)
            if (gen() % 4 == 0 && i % 30 != 5) a(i, j) = random_rational(gen, 4);  // rows 5, 35, 65 zero
    const int threads_before = thread_count();
    const auto text = [&](int threads, std::ios::fmtflags flags) {
        set_thread_count(threads);
        std::ostringstream out;
        out.flags(flags);
        out << a;
        return out.str();
    };
    for (const std::ios::fmtflags flags : {std::ios::dec, std::ios::hex | std::ios::showpos | std::ios::uppercase}) {
        const std::string one = text(1, flags);
        EXPECT_EQ(text(2, flags), one);
        EXPECT_EQ(text(3, flags), one);
    }
    set_thread_count(threads_before);
}

TEST_F(PlainTextTest, RationalMatricesInTheirTextForm) {
    const exact_rational half(big_int(1), big_int(2));
    EXPECT_EQ(written(matrix_of<exact_rational>(2, 2, {exact_rational(1), half, exact_rational(0), exact_rational(-3)})),
              "2 2\n1\t1/2\t\n0\t-3\t\n");
    EXPECT_EQ(read_from<matrix<exact_rational>>("2 2\n4/6 6/-4\n-0/5 7\n"),
              matrix_of<exact_rational>(2, 2, {exact_rational(big_int(2), big_int(3)),
                                                exact_rational(big_int(-3), big_int(2)), exact_rational(0),
                                                exact_rational(7)}));
    EXPECT_EQ(matrix_status, 1);

    matrix<exact_rational> short_of_one;
    const std::string err = reports_of([&] { read_into(short_of_one, "2 2 1 2 3"); });
    EXPECT_EQ(short_of_one, matrix_of<exact_rational>(2, 2, {exact_rational(1), exact_rational(2), exact_rational(3), exact_rational(0)}));
    EXPECT_TRUE(err.ends_with(error_line("matrix::operator >> : input error"))) << err;

    // A zero denominator fails the stream, which the matrix reader reports.
    reset_diagnostics();
    matrix<exact_rational> zero_denominator;
    EXPECT_EQ(reports_of([&] { read_into(zero_denominator, "1 2 5/0 3"); }),
              "Rationals Error: zero denominator\n" + error_line("matrix::operator >> : input error"));
    EXPECT_EQ(zero_denominator(0, 0), exact_rational(0));
    EXPECT_EQ(matrix_status, -4);
}

// A device that takes bytes into its buffer but refuses to pass them on, like
// a full disk: only flushing shows the failure.
class full_device : public std::streambuf {
public:
    full_device() { setp(buffer_, buffer_ + sizeof buffer_); }

protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    int sync() override { return -1; }

private:
    char buffer_[256];
};

TEST_F(PlainTextTest, OutputToAFullDeviceIsReported) {
    full_device device;
    std::ostream out(&device);
    EXPECT_EQ(reports_of([&] { out << matrix_of(1, 1, {7}); }), error_line("matrix::output error"));
    EXPECT_EQ(matrix_status, -5);
    std::ostream again(&device);
    EXPECT_EQ(reports_of([&] { again << vector_of({1}); }), error_line("vector::output error"));
}

} // namespace
} // namespace velmora
