// Whole-matrix arithmetic and the special matrices, as free functions that
// return new matrices (steps 2, 2) and change no operand.
#pragma once

#include "containers/matrix_core.hpp"

#include <concepts>
#include <type_traits>

namespace velmora {

namespace detail {

// A copy of a that does not depend on matrix_status (copy construction does):
// the "copy of the first operand" that failed matrix arithmetic returns.
template <class T>
matrix<T> copy_regardless_of_status(const matrix<T>& a) {
    matrix<T> copy(a.rows(), a.cols(), a.row_step(), a.col_step());
    for (int i = 0; i < copy.rows(); ++i)
        for (int j = 0; j < copy.cols(); ++j) copy(i, j) = a(i, j);
    return copy;
}

// An m-by-n result filled by fill(result) while matrix_status is 1 after
// sizing it; otherwise a copy of a.
template <class T, class Fill>
matrix<T> fill_or_copy_first(const matrix<T>& a, int m, int n, Fill fill) {
    matrix<T> result(m, n);
    if (matrix_status != 1) return copy_regardless_of_status(a);
    fill(result);
    return result;
}

// An m-by-n zero matrix on which fill(result) runs while matrix_status is 1.
template <class T, class Fill>
matrix<T> gated_matrix(int m, int n, Fill fill) {
    matrix<T> result(m, n);
    if (matrix_status == 1) fill(result);
    return result;
}

} // namespace detail

// Entry-wise sum. Different dimensions are reported (-3); then, and whenever
// matrix_status is not 1, the result is a copy of a.
template <class T>
matrix<T> operator+(const matrix<T>& a, const matrix<T>& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols()) {
        matrix_error(-3, "matrix::operator+ : different sizes of summand matrices");
        return detail::copy_regardless_of_status(a);
    }
    return detail::fill_or_copy_first(a, a.rows(), a.cols(), [&](matrix<T>& sum) {
        for (int i = 0; i < sum.rows(); ++i)
            for (int j = 0; j < sum.cols(); ++j) sum(i, j) = a(i, j) + b(i, j);
    });
}

// The plain triple-loop product: entry (i, j) is zero plus a(i, k) * b(k, j) for
// k rising. a.cols() != b.rows() is reported (-3); then, and whenever
// matrix_status is not 1, the result is a copy of a.
template <class T>
matrix<T> operator*(const matrix<T>& a, const matrix<T>& b) {
    if (a.cols() != b.rows()) {
        matrix_error(-3, "matrix::operator * : inconsistent sizes of prodotted matrices");
        return detail::copy_regardless_of_status(a);
    }
    return detail::fill_or_copy_first(a, a.rows(), b.cols(), [&](matrix<T>& product) {
        for (int i = 0; i < product.rows(); ++i)
            for (int j = 0; j < product.cols(); ++j) {
                T entry = T();
                for (int k = 0; k < a.cols(); ++k) entry = entry + a(i, k) * b(k, j);
                product(i, j) = entry;
            }
    });
}

// Every entry c * a(i, j), c the left factor. c is not deduced, so `2 * a`
// works for any T built from an int. A copy of a while matrix_status is not 1.
template <class T>
matrix<T> operator*(const std::type_identity_t<T>& c, const matrix<T>& a) {
    return detail::fill_or_copy_first(a, a.rows(), a.cols(), [&](matrix<T>& scaled) {
        for (int i = 0; i < scaled.rows(); ++i)
            for (int j = 0; j < scaled.cols(); ++j) scaled(i, j) = c * a(i, j);
    });
}

// Every entry negated, whatever matrix_status holds.
template <class T>
matrix<T> operator-(const matrix<T>& a) {
    matrix<T> negated(a.rows(), a.cols());
    for (int i = 0; i < negated.rows(); ++i)
        for (int j = 0; j < negated.cols(); ++j) negated(i, j) = -a(i, j);
    return negated;
}

// a.cols()-by-a.rows() with entry (i, j) = a(j, i); a copy of a (not
// transposed) while matrix_status is not 1.
template <class T>
matrix<T> transpose(const matrix<T>& a) {
    return detail::fill_or_copy_first(a, a.cols(), a.rows(), [&](matrix<T>& t) {
        for (int i = 0; i < t.rows(); ++i)
            for (int j = 0; j < t.cols(); ++j) t(i, j) = a(j, i);
    });
}

// Both dimensions agree and every entry is equal.
template <class T>
bool operator==(const matrix<T>& a, const matrix<T>& b) {
    if (a.rows() != b.rows() || a.cols() != b.cols()) return false;
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j)
            if (!(a(i, j) == b(i, j))) return false;
    return true;
}

template <class T>
bool operator!=(const matrix<T>& a, const matrix<T>& b) {
    return !(a == b);
}

// The special matrices below are zero matrices of the right size, filled only
// while matrix_status is 1. The element type is deduced from x; for a literal
// of another type name it: scalar_matrix<T>(1, n) is the n-by-n identity.

// v.size()-by-v.size(), entry (i, i) = v.at(i).
template <class T>
matrix<T> diag_matrix(const vector<T>& v) {
    return detail::gated_matrix<T>(v.size(), v.size(), [&](matrix<T>& d) {
        for (int i = 0; i < d.rows(); ++i) d(i, i) = v.at(i);
    });
}

// m-by-n, x where the row equals the column.
template <class T>
matrix<T> scalar_matrix(const T& x, int m, int n) {
    return detail::gated_matrix<T>(m, n, [&](matrix<T>& s) {
        for (int i = 0; i < s.rows() && i < s.cols(); ++i) s(i, i) = x;
    });
}

template <class T>
matrix<T> scalar_matrix(const T& x, int n) {
    return scalar_matrix(x, n, n);
}

// m-by-n, every entry x.
template <class T>
matrix<T> constant_matrix(const T& x, int m, int n) {
    return detail::gated_matrix<T>(m, n, [&](matrix<T>& c) {
        for (int i = 0; i < c.rows(); ++i)
            for (int j = 0; j < c.cols(); ++j) c(i, j) = x;
    });
}

template <class T>
matrix<T> constant_matrix(const T& x, int n) {
    return constant_matrix(x, n, n);
}

// scalar_matrix<T>(x, ...) and constant_matrix<T>(x, ...) with an x of another
// type, such as an int literal, even where T's constructor from it is explicit.
template <class T, class U>
    requires(!std::same_as<T, U> && std::constructible_from<T, const U&>)
matrix<T> scalar_matrix(const U& x, int m, int n) {
    return scalar_matrix(T(x), m, n);
}

template <class T, class U>
    requires(!std::same_as<T, U> && std::constructible_from<T, const U&>)
matrix<T> scalar_matrix(const U& x, int n) {
    return scalar_matrix(T(x), n, n);
}

template <class T, class U>
    requires(!std::same_as<T, U> && std::constructible_from<T, const U&>)
matrix<T> constant_matrix(const U& x, int m, int n) {
    return constant_matrix(T(x), m, n);
}

template <class T, class U>
    requires(!std::same_as<T, U> && std::constructible_from<T, const U&>)
matrix<T> constant_matrix(const U& x, int n) {
    return constant_matrix(T(x), n, n);
}

} // namespace velmora
