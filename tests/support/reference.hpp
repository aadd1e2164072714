// Independent references for the reduction tests.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "rational/rational.hpp"

#include <vector>

namespace velmora::testing {

// Determinant of a square integer matrix by fraction-free (Bareiss) elimination
// with row exchanges; 1 for the 0-by-0 matrix.
big_int bareiss_det(matrix<big_int> a);

// The columns cols of the first k rows of a, as a k-by-cols.size() matrix.
matrix<big_int> leading_rows_columns(const matrix<big_int>& a, int k, const vector<int>& cols);

// a with every entry taken as a rational.
matrix<rational<big_int>> to_rational(const matrix<big_int>& a);

// q * a computed entry by entry.
template <class T>
matrix<T> product(const matrix<T>& q, const matrix<T>& a) {
    matrix<T> p(q.rows(), a.cols());
    for (int i = 0; i < q.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) {
            T s(0);
            for (int k = 0; k < q.cols(); ++k) s = s + q(i, k) * a(k, j);
            p(i, j) = s;
        }
    return p;
}

// The entries of a in row order, as the engine's functions take a matrix.
inline std::vector<big_int> row_major_entries(const matrix<big_int>& a) {
    std::vector<big_int> v;
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) v.push_back(a(i, j));
    return v;
}

} // namespace velmora::testing
