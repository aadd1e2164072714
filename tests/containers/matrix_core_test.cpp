#include "containers/matrix.hpp"

#include "diag/testing.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace velmora {
namespace {

using namespace testing_support;

class MatrixCoreTest : public containers_test {};

TEST_F(MatrixCoreTest, ConstructionCountsTheStepsIntoCapacities) {
    const matrix<int> empty;
    EXPECT_EQ(empty.rows(), 0);
    EXPECT_EQ(empty.cols(), 0);
    EXPECT_EQ(empty.row_capacity(), 2);
    EXPECT_EQ(empty.col_capacity(), 2);
    const matrix<int> a(3, 4, 1, 5);
    EXPECT_EQ(a.row_capacity(), 4);
    EXPECT_EQ(a.col_capacity(), 9);
    EXPECT_EQ(a, matrix_of(3, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));  // fresh ints are zero
}

TEST_F(MatrixCoreTest, ResizeRefusesCountsBeyondTheLimitAndKeepsTheOldMatrix) {
    matrix<int> a = matrix_of(1, 2, {1, 2});
    const int refused[][2] = {{9999, 1}, {1, 9999}, {-1, 1}, {1, -1}, {INT_MAX, 1}, {1, INT_MAX}, {INT_MIN, 0}};
    for (const auto& counts : refused) {
        EXPECT_EQ(reports_of([&] { a.resize(counts[0], counts[1]); }), error_line("can't resize matrix:\n incorrect sizes"));
        EXPECT_EQ(a, matrix_of(1, 2, {1, 2}));
    }
    EXPECT_EQ(matrix_status, -2);
    a.resize(9998, 0);
    EXPECT_EQ(a.rows(), 9998);
    EXPECT_EQ(a.row_capacity(), 10000);
    a.resize(0, 9998);
    EXPECT_EQ(a.cols(), 9998);
    a.resize(2, 1);
    EXPECT_EQ(a, matrix_of(2, 1, {0, 0}));
}

TEST_F(MatrixCoreTest, CopiesAreDeepAndAssignmentKeepsTheTargetsSteps) {
    const matrix<int> a = matrix_of(2, 2, {1, 2, 3, 4});
    matrix<int> b(a);
    b(0, 0) = 9;
    EXPECT_EQ(a(0, 0), 1);
    matrix<int> c(0, 0, 3, 3);
    c = a;
    EXPECT_EQ(c, a);
    EXPECT_EQ(c.row_capacity(), 5);
    EXPECT_EQ(matrix<int>(c).col_step(), 3);
    EXPECT_EQ(reports_of([&] { c = c; }), "");
    EXPECT_EQ(c, a);
    EXPECT_EQ(a.at(1, 0), 3);
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixCoreTest, AtReportsBadIndicesAndGivesZero) {
    const matrix<fraction> a = matrix_of<fraction>(1, 1, {fraction(1, 2)});
    for (const auto& ij : {std::pair{1, 0}, std::pair{0, 1}, std::pair{-1, 0}, std::pair{0, -1}}) {
        fraction got(5);
        EXPECT_EQ(reports_of([&] { got = a.at(ij.first, ij.second); }), error_line("matrix::at: incorrect indices"));
        EXPECT_EQ(got, fraction());
    }
    EXPECT_EQ(matrix_status, -6);
}

TEST_F(MatrixCoreTest, AfterAnErrorCopiesHoldZerosAndAssignmentReportsEachTime) {
    const matrix<int> a = matrix_of(1, 2, {1, 2});
    reports_of([&] { a.at(5, 5); });
    const matrix<int> copy(a);
    EXPECT_EQ(copy, matrix_of(1, 2, {0, 0}));
    matrix<int> b = matrix_of(3, 1, {7, 8, 9});
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(reports_of([&] { b = a; }), error_line("matrix::operator= :can't assign matrix"));
    EXPECT_EQ(b, matrix_of(1, 2, {0, 0}));
    EXPECT_EQ(matrix_status, -6);  // the first code stays
}

TEST_F(MatrixCoreTest, AssigningAMatrixTooBigToResizeLeavesAnEmptyTarget) {
    matrix<int> tall(9998, 0);
    tall.ins_row(0);
    tall.ins_row(0);
    ASSERT_EQ(tall.rows(), 10000);
    matrix<int> b = matrix_of(1, 1, {5});
    EXPECT_EQ(reports_of([&] { b = tall; }),
              error_line("can't resize matrix:\n incorrect sizes") + error_line("matrix::operator= :can't assign matrix"));
    EXPECT_EQ(matrix_status, -2);
    EXPECT_EQ(b.rows(), 0);
    EXPECT_EQ(b.row_capacity(), 0);
    b.ins_row(0);  // an empty matrix still grows
    EXPECT_EQ(b.rows(), 1);
}

TEST_F(MatrixCoreTest, SubmatrixTakesListedRowsAndColumnsInListOrder) {
    const matrix<int> a = matrix_of(2, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(a.submatrix(vector_of({1, 0, 1}), vector_of({4, 0})), matrix_of(3, 2, {10, 6, 5, 1, 10, 6}));
    EXPECT_EQ(a.submatrix(vector_of<int>({}), vector_of({4})).rows(), 0);
    // After an error nothing is checked or copied.
    reports_of([&] { a.at(9, 9); });
    EXPECT_EQ(a.submatrix(vector_of({7}), vector_of({0, -1})), matrix_of(1, 2, {0, 0}));
}

TEST_F(MatrixCoreTest, RunningOutOfMemoryInResizeKeepsTheMatrixConsistent) {
    const long live_before = fraction::live;
    const int failures = testing_support::sweep_allocation_failures([](long k) {
        matrix<fraction> a = matrix_of<fraction>(1, 1, {fraction(3)});
        fail_allocation_after(k);
        const std::string err = reports_of([&] { a.resize(3, 2); });
        if (!testing_support::injected_failure_happened()) {
            EXPECT_EQ(a, matrix<fraction>(3, 2));
            return false;
        }
        if (k == 1) {  // the row table: nothing changed
            EXPECT_EQ(err, error_line("can't resize matrix: out of memory"));
            EXPECT_EQ(a, matrix_of<fraction>(1, 1, {fraction(3)}));
        } else {  // a row storage: the rows made so far remain
            EXPECT_EQ(err, error_line("can't correctly resize matrix: out of memory"));
            EXPECT_EQ(a, matrix<fraction>(static_cast<int>(k) - 2, 2));
        }
        EXPECT_EQ(matrix_status, -1);
        return true;
    });
    EXPECT_EQ(failures, 4);
    EXPECT_EQ(fraction::live, live_before);
}

TEST(MatrixCoreDeathTest, EntryAccessAndSubmatrixEndTheProgramOnBadIndices) {
    matrix<int> a = matrix_of(2, 5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    const matrix<int>& ca = a;
    EXPECT_EXIT(a(2, 0) = 1, ::testing::ExitedWithCode(1), fatal_report("matrix::operator() :incorrect indices"));
    EXPECT_EXIT((void)ca(0, -1), ::testing::ExitedWithCode(1), fatal_report("matrix::operator() :incorrect indices"));
    reset_diagnostics();  // the checks run only while matrix_status is 1
    EXPECT_EXIT(a.submatrix(vector_of({0}), vector_of({5})), ::testing::ExitedWithCode(1),
                fatal_report("matrix::submatrix: incorrect index"));
    EXPECT_EXIT(a.submatrix(vector_of({0, 2}), vector_of({0})), ::testing::ExitedWithCode(1),
                fatal_report("matrix::submatrix: incorrect index"));
}

} // namespace
} // namespace velmora
