// The greatest common divisor of the items of an integer vector.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/vector.hpp"

namespace velmora {

// gcd of the items of v, scanned from the last item towards the first and
// stopping as soon as the running value is 1. A one-item vector yields its
// item unchanged (sign included). Precondition: v has at least one item.
big_int content(const vector<big_int>& v);

} // namespace velmora
