// Both reductions on seeded random matrices, checked by identities and by an
// independent determinant. Rerun one seed with VELMORA_SEED=<n>.
#include "bigint/big_int.hpp"
#include "diag/testing.hpp"
#include "rational/rational.hpp"
#include "reduce/content.hpp"
#include "reduce/reduced_echelon.hpp"
#include "reduce/reduced_echelon_int.hpp"
#include "support/random_matrix.hpp"
#include "support/reference.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

namespace velmora {
namespace {

using number = rational<big_int>;

struct rational_result {
    matrix<number> B, Q;
    vector<int> basis;
    number det;
};

struct integer_result {
    matrix<big_int> B, Q;
    vector<int> basis;
    big_int det;
};

rational_result reduce_rational(const matrix<number>& A) {
    rational_result r;
    std::ostringstream silent;
    reduced_echelon(A, r.B, r.Q, r.basis, r.det, 0, silent);
    return r;
}

integer_result reduce_integer(const matrix<big_int>& A) {
    integer_result r;
    std::ostringstream silent;
    reduced_echelon_int(A, r.B, r.Q, r.basis, r.det, 0, silent);
    return r;
}

// B has increasing pivots at (k, basis[k]) for k < rank, zeros left of each
// pivot and elsewhere in pivot columns, zero rows below the rank; the pivot
// itself is 1 (rational) or positive (integer).
template <class T>
void expect_reduced_form(const matrix<T>& B, const vector<int>& basis, bool unit_pivots) {
    const T zero(0);
    const int r = basis.size();
    for (int k = 0; k < r; ++k) {
        if (k > 0) {
            EXPECT_LT(basis[k - 1], basis[k]);
        }
        const int c = basis[k];
        if (unit_pivots) {
            EXPECT_TRUE(B(k, c) == T(1));
        } else {
            EXPECT_TRUE(B(k, c) > zero);
        }
        for (int j = 0; j < c; ++j) EXPECT_TRUE(B(k, j) == zero) << "row " << k << " col " << j;
        for (int i = 0; i < B.rows(); ++i) {
            EXPECT_TRUE(i == k || B(i, c) == zero) << "row " << i << " col " << c;
        }
    }
    for (int i = r; i < B.rows(); ++i)
        for (int j = 0; j < B.cols(); ++j) EXPECT_TRUE(B(i, j) == zero) << "row " << i << " col " << j;
}

bool row_content_is_one(const matrix<big_int>& B, const matrix<big_int>& Q, int k) {
    vector<big_int> all;
    for (int j = 0; j < B.cols(); ++j) all.append_item(B(k, j));
    for (int j = 0; j < Q.cols(); ++j) all.append_item(Q(k, j));
    return content(all) == big_int(1);
}

unsigned first_seed() { return static_cast<unsigned>(seed_from_environment(20261207)); }

TEST(ReductionProperties, RandomMatricesUpToTwelveByTwelve) {
    reset_diagnostics();
    const unsigned base = first_seed();
    const int runs = std::getenv("VELMORA_SEED") ? 1 : 300;
    for (int run = 0; run < runs; ++run) {
        const unsigned seed = base + run;
        std::mt19937 gen(seed);
        std::uniform_int_distribution<int> size(0, 12);
        const int m = size(gen), n = size(gen);
        const int r = std::uniform_int_distribution<int>(0, std::min(m, n))(gen);
        const int range = run % 3 == 0 ? 1 : run % 3 == 1 ? 9 : 1000;
        const matrix<big_int> A = run % 5 == 0 ? testing::random_matrix(gen, m, n, range, 60)
                                               : testing::random_rank_matrix(gen, m, n, r, range);
        SCOPED_TRACE(seed_trace(seed) + " (" + std::to_string(m) + " by " +
                     std::to_string(n) + ")");

        const rational_result rat = reduce_rational(testing::to_rational(A));
        const integer_result in = reduce_integer(A);

        EXPECT_TRUE(testing::product(rat.Q, testing::to_rational(A)) == rat.B);
        EXPECT_TRUE(testing::product(in.Q, A) == in.B);
        expect_reduced_form(rat.B, rat.basis, true);
        expect_reduced_form(in.B, in.basis, false);
        EXPECT_TRUE(rat.basis == in.basis);
        for (int k = 0; k < m; ++k) EXPECT_TRUE(row_content_is_one(in.B, in.Q, k)) << "row " << k;
        // Each integer row is a positive multiple of the rational one.
        for (int k = 0; k < in.basis.size(); ++k) {
            const number scale(in.B(k, in.basis[k]));
            for (int j = 0; j < n; ++j) EXPECT_TRUE(rat.B(k, j) * scale == number(in.B(k, j)));
        }

        if (m == 0 || n == 0) {
            EXPECT_TRUE(rat.det == number(1));
        } else if (m <= n) {
            vector<int> leading;
            for (int j = 0; j < m; ++j) leading.append_item(j);
            EXPECT_TRUE(rat.det == number(testing::bareiss_det(testing::leading_rows_columns(A, m, leading))));
        }
        if (in.basis.size() == m) {
            EXPECT_TRUE(in.det == testing::bareiss_det(testing::leading_rows_columns(A, m, in.basis)));
        } else {
            EXPECT_TRUE(in.det == big_int(0));
        }

        // The reduced form does not depend on the order of the rows.
        if (m >= 2) {
            matrix<big_int> turned = A;
            turned.swap_rows(0, m - 1);
            EXPECT_TRUE(reduce_rational(testing::to_rational(turned)).B == rat.B);
        }
        if (HasFailure()) break;
    }
    EXPECT_EQ(matrix_status, 1);
}

TEST(ReductionProperties, BareissReferenceAgreesWithKnownDeterminants) {
    matrix<big_int> a(3, 3);
    const int values[3][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 10}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a(i, j) = big_int(values[i][j]);
    EXPECT_TRUE(testing::bareiss_det(a) == big_int(-3));
    a.swap_rows(0, 1);
    EXPECT_TRUE(testing::bareiss_det(a) == big_int(3));
    EXPECT_TRUE(testing::bareiss_det(matrix<big_int>(0, 0)) == big_int(1));
    matrix<big_int> z(2, 2);
    z(0, 1) = big_int(5);
    z(1, 0) = big_int(7);
    EXPECT_TRUE(testing::bareiss_det(z) == big_int(-35));
}

} // namespace
} // namespace velmora
