// A greatest common divisor for large operands, by Lehmer's method on 64-bit words.
#pragma once

#include "bigint/big_int.hpp"

namespace velmora {

// gcd(|a|, |b|), the same value as gcd of rational/gcd.hpp: 0 for two zeros. Steps on
// the leading 61 bits stand in for runs of Euclid's quotients, so that most steps cost
// one pass over the words instead of a long division.
big_int lehmer_gcd(const big_int& a, const big_int& b);

} // namespace velmora
