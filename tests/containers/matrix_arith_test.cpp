#include "containers/matrix.hpp"

#include "diag/testing.hpp"
#include "support/exact_numbers.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

using namespace testing_support;

class MatrixArithTest : public containers_test {};

using table = std::vector<std::vector<long long>>;

matrix<long long> from_table(const table& t, int cols) {
    matrix<long long> a(static_cast<int>(t.size()), cols);
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < cols; ++j) a(i, j) = t[i][j];
    return a;
}

table random_table(std::mt19937& gen, int m, int n) {
    std::uniform_int_distribution<long long> entry(-1000, 1000);
    table t(m, std::vector<long long>(n));
    for (auto& row : t)
        for (auto& x : row) x = entry(gen);
    return t;
}

TEST_F(MatrixArithTest, RandomProductsAndTransposesMatchANaiveReference) {
    const std::uint64_t seed = seed_from_environment(20240803);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dim(0, 7);
    for (int round = 0; round < 200; ++round) {
        const int m = dim(gen), k = dim(gen), n = dim(gen);
        const table a = random_table(gen, m, k), b = random_table(gen, k, n);
        table product(m, std::vector<long long>(n, 0)), transposed(k, std::vector<long long>(m));
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j)
                for (int l = 0; l < k; ++l) product[i][j] += a[i][l] * b[l][j];
        for (int i = 0; i < m; ++i)
            for (int l = 0; l < k; ++l) transposed[l][i] = a[i][l];

        const matrix<long long> ma = from_table(a, k), mb = from_table(b, n);
        ASSERT_EQ(ma * mb, from_table(product, n)) << m << "x" << k << " times " << k << "x" << n;
        ASSERT_EQ(transpose(ma), from_table(transposed, m));
        ASSERT_EQ(transpose(transpose(ma)), ma);
        ASSERT_EQ(ma + ma, 2 * ma);
        ASSERT_EQ(-ma + ma, matrix<long long>(m, k));
    }
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixArithTest, ProductIdentitiesHoldForRandomRationalMatrices) {
    const std::uint64_t seed = seed_from_environment(20240804);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    std::uniform_int_distribution<int> dim(1, 4);
    auto random_matrix = [&](int m, int n) {
        matrix<exact_rational> a(m, n);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) a(i, j) = random_rational(gen, 2);
        return a;
    };
    for (int round = 0; round < 40; ++round) {
        const int m = dim(gen), k = dim(gen), n = dim(gen);
        const matrix<exact_rational> a = random_matrix(m, k), b = random_matrix(k, n), c = random_matrix(k, n);
        ASSERT_EQ(transpose(a * b), transpose(b) * transpose(a));
        ASSERT_EQ(a * (b + c), a * b + a * c);
        ASSERT_EQ(scalar_matrix<exact_rational>(1, m) * a, a);
        ASSERT_EQ(a * scalar_matrix(exact_rational(1), k), a);
        const exact_rational x = random_rational(gen, 2);
        ASSERT_EQ(x * (a * b), (x * a) * b);
        const vector<exact_rational> row = a.row(0), col = b.col(0);
        ASSERT_EQ(dot(row, col), (a * b)(0, 0));
    }
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixArithTest, ScalarMultipleScalesEveryEntryAndTakesAnIntLiteral) {
    const matrix<fraction> a = matrix_of<fraction>(1, 2, {fraction(1, 2), fraction(-3)});
    EXPECT_EQ(fraction(2, 3) * a, matrix_of<fraction>(1, 2, {fraction(1, 3), fraction(-2)}));
    EXPECT_EQ(2 * a, matrix_of<fraction>(1, 2, {fraction(1), fraction(-6)}));
}

TEST_F(MatrixArithTest, MismatchedSizesReportAndGiveACopyOfTheFirstOperand) {
    const matrix<int> a = matrix_of(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(a * a, a); }),
              error_line("matrix::operator * : inconsistent sizes of prodotted matrices"));
    EXPECT_EQ(matrix_status, -3);
    reset_diagnostics();
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(a + matrix<int>(3, 2), a); }),
              error_line("matrix::operator+ : different sizes of summand matrices"));
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(a + matrix<int>(2, 2), a); }),
              error_line("matrix::operator+ : different sizes of summand matrices"));
}

TEST_F(MatrixArithTest, AfterAnErrorResultsAreCopiesOfTheFirstOperandOrZeroMatrices) {
    const matrix<int> a = matrix_of(2, 3, {1, 2, 3, 4, 5, 6});
    reports_of([&] { a.at(3, 3); });
    EXPECT_EQ(transpose(a), a);  // not transposed
    EXPECT_EQ(a + a, a);
    EXPECT_EQ(a * transpose(a), a);
    EXPECT_EQ(5 * a, a);
    EXPECT_EQ(-a, matrix_of(2, 3, {-1, -2, -3, -4, -5, -6}));  // not gated
    EXPECT_EQ(scalar_matrix(1, 3), matrix<int>(3, 3));
    EXPECT_EQ(constant_matrix(7, 1, 2), matrix<int>(1, 2));
    EXPECT_EQ(diag_matrix(vector_of({1, 2})), matrix<int>(2, 2));
    EXPECT_EQ(reports_of([] { (void)scalar_matrix(1, 2); }), "");
    EXPECT_EQ(matrix_status, -6);
}

// An element type whose construction from int is explicit.
struct strict_int {
    strict_int() = default;
    explicit strict_int(int v) : value(v) {}
    int value = 0;
    bool operator==(const strict_int&) const = default;
};

TEST_F(MatrixArithTest, SpecialMatrices) {
    EXPECT_EQ(scalar_matrix(1, 3), matrix_of(3, 3, {1, 0, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(scalar_matrix(4, 2, 3), matrix_of(2, 3, {4, 0, 0, 0, 4, 0}));
    EXPECT_EQ(scalar_matrix(4, 3, 1), matrix_of(3, 1, {4, 0, 0}));
    EXPECT_EQ(constant_matrix(7, 2), matrix_of(2, 2, {7, 7, 7, 7}));
    EXPECT_EQ(constant_matrix(7, 1, 3), matrix_of(1, 3, {7, 7, 7}));
    EXPECT_EQ(diag_matrix(vector_of({5, 6})), matrix_of(2, 2, {5, 0, 0, 6}));
    EXPECT_EQ(diag_matrix(vector<int>()).rows(), 0);

    // An int literal with the element type named, or a value of the element type.
    EXPECT_EQ(scalar_matrix<fraction>(1, 2), matrix_of<fraction>(2, 2, {fraction(1), fraction(), fraction(), fraction(1)}));
    EXPECT_EQ(scalar_matrix(fraction(1), 2), scalar_matrix<fraction>(1, 2, 2));
    EXPECT_EQ(constant_matrix<long long>(3, 1), matrix_of<long long>(1, 1, {3}));
    EXPECT_EQ(constant_matrix<strict_int>(3, 1, 1)(0, 0), strict_int(3));
    EXPECT_EQ(scalar_matrix<strict_int>(1, 2)(1, 1), strict_int(1));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixArithTest, EqualityNeedsBothDimensionsAndEveryEntry) {
    const matrix<int> a = matrix_of(1, 2, {1, 2});
    EXPECT_NE(a, matrix_of(1, 2, {1, 3}));
    EXPECT_NE(a, matrix_of(2, 1, {1, 2}));
    EXPECT_NE(matrix<int>(0, 1), matrix<int>(0, 2));
    EXPECT_EQ(matrix<int>(0, 1), matrix<int>(0, 1, 5, 5));
}

} // namespace
} // namespace velmora
