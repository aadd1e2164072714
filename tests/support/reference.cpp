#include "reference.hpp"

namespace velmora::testing {

big_int bareiss_det(matrix<big_int> a) {
    const int n = a.rows();
    const big_int zero(0);
    big_int sign(1), previous(1);
    for (int k = 0; k < n; ++k) {
        int p = k;
        while (p < n && a(p, k) == zero) ++p;
        if (p == n) return zero;
        if (p != k) {
            for (int j = 0; j < n; ++j) {
                const big_int t = a(k, j);
                a(k, j) = a(p, j);
                a(p, j) = t;
            }
            sign = -sign;
        }
        for (int i = k + 1; i < n; ++i) {
            for (int j = k + 1; j < n; ++j) a(i, j) = (a(i, j) * a(k, k) - a(i, k) * a(k, j)) / previous;
            a(i, k) = zero;
        }
        previous = a(k, k);
    }
    return n == 0 ? big_int(1) : sign * a(n - 1, n - 1);
}

matrix<big_int> leading_rows_columns(const matrix<big_int>& a, int k, const vector<int>& cols) {
    matrix<big_int> s(k, cols.size());
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < cols.size(); ++j) s(i, j) = a(i, cols[j]);
    return s;
}

matrix<rational<big_int>> to_rational(const matrix<big_int>& a) {
    matrix<rational<big_int>> r(a.rows(), a.cols());
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) r(i, j) = rational<big_int>(a(i, j));
    return r;
}

} // namespace velmora::testing
