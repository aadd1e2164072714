#include "reduce/content.hpp"

#include "rational/gcd.hpp"

namespace velmora {

big_int content(const vector<big_int>& v) {
    const big_int one(1);
    big_int d = v[v.size() - 1];
    for (int k = v.size() - 2; k >= 0 && d != one; --k) d = gcd(d, v[k]);
    return d;
}

big_int row_content(const matrix<big_int>& B, const matrix<big_int>& Q, int k) {
    const big_int one(1);
    big_int d(0);
    for (int j = B.cols() - 1; j >= 0 && d != one; --j) d = gcd(d, B(k, j));
    for (int j = Q.cols() - 1; j >= 0 && d != one; --j) d = gcd(d, Q(k, j));
    return d;
}

} // namespace velmora
