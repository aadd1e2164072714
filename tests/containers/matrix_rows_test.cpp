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

class MatrixRowsTest : public containers_test {};

// Rows (0 0), (1 1), (2 2), ...
matrix<int> numbered_rows(int m) {
    matrix<int> a(m, 2);
    for (int i = 0; i < m; ++i) a(i, 0) = a(i, 1) = i;
    return a;
}

TEST_F(MatrixRowsTest, InsertedRowsAreZeroAndTheTableGrowsByItsStep) {
    matrix<int> a = numbered_rows(2);
    a.ins_row(1);
    EXPECT_EQ(a.row_capacity(), 4);
    a.ins_row(3, vector_of({7, 8}));
    a.append_row(vector_of({5, 6}));
    EXPECT_EQ(a.row_capacity(), 6);
    EXPECT_EQ(a, matrix_of(5, 2, {0, 0, 0, 0, 1, 1, 7, 8, 5, 6}));
    EXPECT_EQ(a.row(3), vector_of({7, 8}));

    int* storage = allocate_array<int>(static_cast<std::size_t>(a.col_capacity()));
    storage[0] = 4;
    EXPECT_TRUE(a.ins_this_row(0, storage));
    EXPECT_EQ(&a(0, 0), storage);
    EXPECT_EQ(a.rows(), 6);
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixRowsTest, RowsStopAtTenThousandButGrowPastTheResizeLimit) {
    matrix<int> a(9998, 1);
    a.ins_row(5);
    a.ins_row(0);
    EXPECT_EQ(a.rows(), 10000);
    EXPECT_EQ(reports_of([&] { a.ins_row(0); }), error_line("matrix::ins_row: matrix is too big"));
    EXPECT_EQ(reports_of([&] { a.add_rows(0, 1, 1, 1); }), error_line("matrix::ins_row: matrix is too big"));
    EXPECT_EQ(a.rows(), 10000);
    EXPECT_EQ(matrix_status, -2);
}

TEST_F(MatrixRowsTest, RowMovesExchangeAndTransferStoragesWithoutCopying) {
    matrix<int> a = numbered_rows(4);
    const int* row1 = &a(1, 0);
    const int* row3 = &a(3, 0);
    a.swap_rows(1, 3);
    a.swap_rows(2, 2);
    EXPECT_EQ(&a(1, 0), row3);
    EXPECT_EQ(&a(3, 0), row1);
    EXPECT_EQ(a, matrix_of(4, 2, {0, 0, 3, 3, 2, 2, 1, 1}));

    const matrix<int> taken = a.take_rows(vector_of({3, 0}));
    EXPECT_EQ(&taken(0, 0), row1);
    EXPECT_EQ(taken.col_capacity(), a.col_capacity());
    EXPECT_EQ(taken, matrix_of(2, 2, {1, 1, 0, 0}));
    EXPECT_EQ(a, matrix_of(2, 2, {3, 3, 2, 2}));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixRowsTest, ListedRemovalsToleratesRepeatsAndSkipBadIndices) {
    matrix<int> a = numbered_rows(4);
    EXPECT_EQ(reports_of([&] { a.del_rows(vector_of({2, 0, 2})); }), "");
    EXPECT_EQ(a, matrix_of(2, 2, {1, 1, 3, 3}));

    matrix<int> b = numbered_rows(3);
    const matrix<int> taken = b.take_rows(vector_of({1, 1}));
    EXPECT_EQ(taken, matrix_of(2, 2, {1, 1, 1, 1}));
    EXPECT_EQ(b, matrix_of(2, 2, {0, 0, 2, 2}));
    EXPECT_EQ(matrix_status, 1);

    matrix<int> c = numbered_rows(3);
    EXPECT_EQ(reports_of([&] { c.del_rows(vector_of({5, 1, -1})); }),
              error_line("matrix::del_rows: incorrect index") + error_line("matrix::del_rows: incorrect index"));
    EXPECT_EQ(c, matrix_of(2, 2, {0, 0, 2, 2}));
}

TEST_F(MatrixRowsTest, AfterABadIndexTakeRowsAppendsRepeatedRowsUnfilled) {
    matrix<int> a = numbered_rows(3);
    const std::string err = reports_of([&] {
        const matrix<int> taken = a.take_rows(vector_of({2, 9, 2, 1}));
        EXPECT_EQ(taken, matrix_of(3, 2, {2, 2, 0, 0, 1, 1}));
    });
    EXPECT_EQ(err, error_line("matrix::take_rows: incorrect index"));
    EXPECT_EQ(a, matrix_of(1, 2, {0, 0}));
}

TEST_F(MatrixRowsTest, ElementaryRowOperations) {
    matrix<fraction> a = matrix_of<fraction>(2, 2, {fraction(2), fraction(4), fraction(1, 2), fraction(3)});
    a.add_rows(1, 0, fraction(-1, 4));
    EXPECT_EQ(a.row(1), vector_of({fraction(0), fraction(2)}));
    a.add_rows(1, 1, fraction(1));  // row := row * (1 + c)
    EXPECT_EQ(a.row(1), vector_of({fraction(0), fraction(4)}));
    a.div_row(0, a(0, 0));  // the divisor is an entry of the row itself
    EXPECT_EQ(a.row(0), vector_of({fraction(1), fraction(2)}));
    a.mult_row(1, a(1, 1));
    EXPECT_EQ(a.row(1), vector_of({fraction(0), fraction(16)}));
    a.add_rows(0, fraction(3), 1, fraction(1, 2));
    EXPECT_EQ(a.rows(), 3);
    EXPECT_EQ(a.row(2), vector_of({fraction(3), fraction(14)}));
    EXPECT_EQ(a.take_row(0), vector_of({fraction(1), fraction(2)}));
    a.del_row(0);
    EXPECT_EQ(a, matrix_of<fraction>(1, 2, {fraction(3), fraction(14)}));
    EXPECT_EQ(a.copy_rows(vector_of({0, 0})), matrix_of<fraction>(2, 2, {fraction(3), fraction(14), fraction(3), fraction(14)}));
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(MatrixRowsTest, BadRowArgumentsReportTheirMessageAndCodeAndChangeNothing) {
    testing_support::expect_reported_without_effect<matrix<int>>(
        {
            {[](matrix<int>& a) { EXPECT_EQ(a.row(2).size(), 0); }, "matrix::row: incorrect index", -6},
            {[](matrix<int>& a) { a.take_row(-1); }, "matrix::row: incorrect index", -6},
            {[](matrix<int>& a) { a.del_row(2); }, "matrix::row: incorrect index", -6},
            {[](matrix<int>& a) { a.ins_row(3); }, "matrix::ins_this_row: incorrect index", -6},
            {[](matrix<int>& a) { a.ins_row(0, vector_of({1})); }, "matrix::ins_row: can't insert row: sizes are inconsistent", -3},
            {[](matrix<int>& a) { a.append_row(vector_of({1, 2, 3})); }, "matrix::ins_row: can't insert row: sizes are inconsistent", -3},
            {[](matrix<int>& a) { a.add_rows(0, 2, 1); }, "matrix::can't add rows: incorrect indices", -6},
            {[](matrix<int>& a) { a.add_rows(-1, 1, 0, 1); }, "matrix::can't add rows: incorrect indices", -6},
            {[](matrix<int>& a) { a.mult_row(2, 5); }, "matrix::can't mult row: incorrect index", -6},
            {[](matrix<int>& a) { a.div_row(-1, 5); }, "matrix::can't div row: incorrect index", -6},
            {[](matrix<int>& a) { a.swap_rows(0, 2); }, "matrix::can't swap rows: incorrect indices", -6},
            {[](matrix<int>& a) { EXPECT_EQ(a.take_rows(vector_of({2})).rows(), 0); }, "matrix::take_rows: incorrect index", -6},
        },
        [] { return numbered_rows(2); });
    reset_diagnostics();
    int* storage = allocate_array<int>(2);
    matrix<int> a = numbered_rows(2);
    EXPECT_EQ(reports_of([&] { EXPECT_FALSE(a.ins_this_row(-1, storage)); }), error_line("matrix::ins_this_row: incorrect index"));
    delete[] storage;
    reset_diagnostics();
    EXPECT_EQ(reports_of([&] { EXPECT_EQ(a.copy_rows(vector_of({1, 4})), matrix_of(2, 2, {1, 1, 0, 0})); }),
              error_line("matrix::at: incorrect indices") + error_line("matrix::at: incorrect indices"));
}

TEST_F(MatrixRowsTest, AfterAnErrorRowsAreNotFilledCopiedOrTaken) {
    matrix<int> a = numbered_rows(3);
    reports_of([&] { a.at(7, 0); });
    EXPECT_EQ(a.take_row(1), vector_of({0, 0}));
    EXPECT_EQ(a.take_rows(vector_of({0, 1})).rows(), 0);
    EXPECT_EQ(a.rows(), 3);
    a.append_row(vector_of({5, 5}));   // the row is inserted, but stays zero
    a.add_rows(1, 1, 2, 1);            // likewise
    a.add_rows(1, 2, 1);               // not gated
    EXPECT_EQ(a, matrix_of(5, 2, {0, 0, 3, 3, 2, 2, 0, 0, 0, 0}));
    a.del_rows(vector_of({4, 3}));     // not gated
    EXPECT_EQ(a.rows(), 3);
    EXPECT_EQ(matrix_status, -6);
}

TEST_F(MatrixRowsTest, RunningOutOfMemoryWhileInsertingARowChangesNothing) {
    const long live_before = fraction::live;
    const int failures = testing_support::sweep_allocation_failures([](long k) {
        matrix<fraction> a = matrix_of<fraction>(2, 1, {fraction(1), fraction(2)});
        a.append_row(vector_of({fraction(3)}));
        a.append_row(vector_of({fraction(4)}));  // the row table is full
        const matrix<fraction> before = a;
        fail_allocation_after(k);
        const std::string err = reports_of([&] { a.ins_row(1); });
        if (!testing_support::injected_failure_happened()) {
            EXPECT_EQ(a.row(1), vector_of({fraction(0)}));
            EXPECT_EQ(a.row_capacity(), 6);
            return false;
        }
        EXPECT_EQ(err, error_line("can't insert new row: out of memory"));
        EXPECT_EQ(a, before);
        EXPECT_EQ(a.row_capacity(), 4);
        return true;
    });
    EXPECT_EQ(failures, 2);  // the row storage, then the wider row table
    EXPECT_EQ(fraction::live, live_before);

    // A storage that cannot join the result of take_rows stays where it was.
    matrix<int> b = numbered_rows(3);
    const vector<int> all = vector_of({0, 1, 2});
    matrix<int> taken;
    fail_allocation_after(2);  // the result's own table, then its first growth
    reports_of([&] { taken = b.take_rows(all); });
    EXPECT_TRUE(testing_support::injected_failure_happened());
    EXPECT_EQ(b, matrix_of(1, 2, {2, 2}));
}

} // namespace
} // namespace velmora
