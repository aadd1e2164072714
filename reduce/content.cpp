#include "reduce/content.hpp"

#include "rational/gcd.hpp"

namespace velmora {

big_int content(const vector<big_int>& v) {
    const big_int one(1);
    big_int d = v[v.size() - 1];
    for (int k = v.size() - 2; k >= 0 && d != one; --k) d = gcd(d, v[k]);
    return d;
}

} // namespace velmora
