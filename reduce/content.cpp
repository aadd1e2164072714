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
    // The entries of a row lie side by side.
    const big_int d = B.cols() > 0 ? gcd_with(big_int(0), &B(k, 0), B.cols()) : big_int(0);
    return Q.cols() > 0 ? gcd_with(d, &Q(k, 0), Q.cols()) : d;
}

} // namespace velmora
