#include "containers/matrix.hpp"

#include "diag/testing.hpp"
#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace velmora {
namespace {

using namespace testing_support;

class MatrixColsTest : public containers_test {};

TEST_F(MatrixColsTest, AnInsertedColumnIsZeroWithOrWithoutSpareCapacity) {
    matrix<int> a = matrix_of(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(a.take_col(1), vector_of({2, 4}));
    a.ins_col(1);  // in place, over the left-over entries of the taken column
    EXPECT_EQ(a, matrix_of(2, 2, {1, 0, 3, 0}));
    a.ins_col(0);
    a.ins_col(3);
    EXPECT_EQ(a.col_capacity(), 4);
    a.ins_col(1);  // grows every row by the column step
    EXPECT_EQ(a.col_capacity(), 6);
    EXPECT_EQ(a, matrix_of(2, 5, {0, 0, 1, 0, 0, 0, 0, 3, 0, 0}));
    a.ins_col(5, vector_of({7, 8}));
    a.append_col(vector_of({5, 6}));
    a.del_col(0);
    EXPECT_EQ(a.col(4), vector_of({7, 8}));
    EXPECT_EQ(a.col(5), vector_of({5, 6}));
    EXPECT_EQ(a.cols(), 6);
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixColsTest, ColumnsStopAtTenThousand) {
    matrix<int> a(1, 9998);
    a.ins_col(0);
    a.ins_col(0);
    EXPECT_EQ(a.cols(), 10000);
    EXPECT_EQ(reports_of([&] { a.ins_col(0); }), error_line("matrix::ins_col: too many columns"));
    EXPECT_EQ(reports_of([&] { a.add_cols(0, 1, 1, 1); }), error_line("matrix::ins_col: too many columns"));
    EXPECT_EQ(a.cols(), 10000);
    EXPECT_EQ(matrix_status, -2);
}

TEST_F(MatrixColsTest, RunningOutOfMemoryWhileWideningLeavesTheMatrixAsItWas) {
    const long live_before = fraction::live;
    const int failures = testing_support::sweep_allocation_failures([](long k) {
        matrix<fraction> a(3, 0);
        a.ins_col(0, vector_of({fraction(1), fraction(2), fraction(3)}));
        a.ins_col(0, vector_of({fraction(4), fraction(5), fraction(6)}));  // every row is full
        const matrix<fraction> before = a;
        fail_allocation_after(k);
        const std::string err = reports_of([&] { a.ins_col(1); });
        if (!testing_support::injected_failure_happened()) {
            EXPECT_EQ(a.col(1), vector_of({fraction(), fraction(), fraction()}));
            EXPECT_EQ(a.col(2), before.col(1));
            return false;
        }
        EXPECT_EQ(err, error_line("matrix::can't insert new column: out of memory \n matrix is not correct"));
        EXPECT_EQ(matrix_status, -1);
        EXPECT_EQ(a, before);
        EXPECT_EQ(a.col_capacity(), 2);
        return true;
    });
    EXPECT_EQ(failures, 4);  // the table of new storages, then each of the three storages
    EXPECT_EQ(fraction::live, live_before);
}

TEST_F(MatrixColsTest, ListedColumnRemovalAndCopies) {
    matrix<int> a = matrix_of(2, 4, {0, 1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(a.copy_cols(vector_of({3, 3, 0})), matrix_of(2, 3, {3, 3, 0, 7, 7, 4}));
    a.del_cols(vector_of({2, 0, 2}));
    EXPECT_EQ(a, matrix_of(2, 2, {1, 3, 5, 7}));
    EXPECT_EQ(a.take_cols(vector_of({1})), matrix_of(2, 1, {3, 7}));
    EXPECT_EQ(a, matrix_of(2, 1, {1, 5}));
    matrix<int> no_rows(0, 3);
    no_rows.del_cols(vector_of({1}));
    EXPECT_EQ(no_rows.cols(), 2);
    EXPECT_EQ(matrix_status, 1);

    // A bad index in take_cols: copy_cols reports it per row, and then
    // del_cols, seeing the error, removes nothing.
    matrix<int> b = matrix_of(2, 2, {1, 2, 3, 4});
    const std::string err = reports_of([&] {
        EXPECT_EQ(b.take_cols(vector_of({0, 2})), matrix_of(2, 2, {1, 0, 3, 0}));
    });
    EXPECT_EQ(err, error_line("matrix::at: incorrect indices") + error_line("matrix::at: incorrect indices"));
    EXPECT_EQ(b, matrix_of(2, 2, {1, 2, 3, 4}));
}

TEST_F(MatrixColsTest, ElementaryColumnOperations) {
    matrix<fraction> a = matrix_of<fraction>(2, 2, {fraction(2), fraction(1, 2), fraction(4), fraction(3)});
    a.add_cols(1, 0, fraction(-1, 4));
    EXPECT_EQ(a.col(1), vector_of({fraction(0), fraction(2)}));
    a.div_col(0, a(0, 0));
    EXPECT_EQ(a.col(0), vector_of({fraction(1), fraction(2)}));
    a.mult_col(1, fraction(3));
    a.swap_cols(0, 1);
    a.swap_cols(1, 1);
    EXPECT_EQ(a, matrix_of<fraction>(2, 2, {fraction(0), fraction(1), fraction(6), fraction(2)}));
    a.add_cols(0, fraction(1, 2), 1, fraction(2));
    EXPECT_EQ(a.col(2), vector_of({fraction(2), fraction(7)}));
    a.add_cols(1, 1, fraction(1));
    EXPECT_EQ(a.col(1), vector_of({fraction(2), fraction(4)}));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixColsTest, BadColumnArgumentsReportTheirMessageAndCodeAndChangeNothing) {
    testing_support::expect_reported_without_effect<matrix<int>>(
        {
            {[](matrix<int>& a) { EXPECT_EQ(a.col(2).size(), 0); }, "matrix::col: incorrect index", -6},
            {[](matrix<int>& a) { a.take_col(-1); }, "matrix::col: incorrect index", -6},
            {[](matrix<int>& a) { a.del_col(2); }, "matrix::col: incorrect index", -6},
            {[](matrix<int>& a) { a.ins_col(3); }, "matrix::can't ins col: incorrect index", -6},
            {[](matrix<int>& a) { a.ins_col(0, vector_of({1})); }, "matrix::can't insert column: sizes are inconsistent", -3},
            {[](matrix<int>& a) { a.append_col(vector_of({1, 2, 3})); }, "matrix::can't insert column: sizes are inconsistent", -3},
            {[](matrix<int>& a) { a.add_cols(0, 2, 1); }, "matrix::can't add cols: incorrect indices", -6},
            {[](matrix<int>& a) { a.add_cols(0, 1, -1, 1); }, "matrix::can't add columns: incorrect indices", -6},
            {[](matrix<int>& a) { a.mult_col(2, 5); }, "matrix::can't mult col: incorrect indices", -6},
            {[](matrix<int>& a) { a.div_col(-1, 5); }, "matrix::can't div col: incorrect indices", -6},
            {[](matrix<int>& a) { a.swap_cols(2, 0); }, "matrix::can't swap columns: incorrect indices", -6},
        },
        [] { return matrix_of(2, 2, {1, 2, 3, 4}); });
}

TEST_F(MatrixColsTest, AfterAnErrorColumnsAreNotFilledOrRemoved) {
    matrix<int> a = matrix_of(2, 2, {1, 2, 3, 4});
    reports_of([&] { a.at(0, 9); });
    EXPECT_EQ(a.take_col(0), vector_of({0, 0}));
    a.del_cols(vector_of({0, 1}));
    a.del_cols(vector_of({5}));  // not even checked
    a.append_col(vector_of({5, 5}));  // inserted, but stays zero
    a.add_cols(0, 1, 1, 1);           // likewise
    a.add_cols(1, 0, 1);              // not gated
    EXPECT_EQ(a, matrix_of(2, 4, {1, 3, 0, 0, 3, 7, 0, 0}));
    EXPECT_EQ(matrix_status, -6);
}

TEST(MatrixColsDeathTest, RemovingAColumnOutsideTheMatrixEndsTheProgram) {
    matrix<int> a = matrix_of(2, 2, {1, 2, 3, 4});
    reset_diagnostics();  // the flags are set only while matrix_status is 1
    EXPECT_EXIT(a.del_cols(vector_of({0, 2})), ::testing::ExitedWithCode(1), fatal_report("vector::operator[]: incorrect index"));
    EXPECT_EXIT(a.del_cols(vector_of({-1})), ::testing::ExitedWithCode(1), fatal_report("vector::operator[]: incorrect index"));
    matrix<int> no_rows(0, 2);  // copy_cols has no entry to report on
    EXPECT_EXIT(no_rows.take_cols(vector_of({2})), ::testing::ExitedWithCode(1), fatal_report("vector::operator[]: incorrect index"));
}

} // namespace
} // namespace velmora
