// The greatest common divisor of the items of an integer vector.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "containers/vector.hpp"

namespace velmora {

// gcd of the items of v, scanned from the last item towards the first and
// stopping as soon as the running value is 1. A one-item vector yields its
// item unchanged (sign included). Precondition: v has at least one item.
big_int content(const vector<big_int>& v);

// The gcd of every entry of row k of B and of row k of Q together: the value of
// gcd(content(B.row(k)), content(Q.row(k))) whenever that is not 0, found without copying
// the rows and stopping as soon as the running value is 1. Precondition: row k of Q is not
// all zero, and B and Q have at least one column.
big_int row_content(const matrix<big_int>& B, const matrix<big_int>& Q, int k);

} // namespace velmora
