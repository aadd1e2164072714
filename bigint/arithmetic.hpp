// Arithmetic and comparison of big_int values. Every operator returns a new value in normal
// form and leaves its operands unchanged.
#pragma once

#include "bigint/storage.hpp"

#include <cstddef>

namespace velmora {

// -a; -0 is zero.
big_int operator-(const big_int& a);
// a itself (shares its record).
big_int operator+(const big_int& a);

big_int operator+(const big_int& a, const big_int& b);
big_int operator-(const big_int& a, const big_int& b);
big_int operator*(const big_int& a, const big_int& b);
// c * x + e * y, made in one record: the value of c * x + e * y.
big_int combination(const big_int& c, const big_int& x, const big_int& e, const big_int& y);

// Sets q to a / b truncated toward zero and r to a - q * b (zero or of a's sign).
// b zero: reports "divide by zero" through big_arith_error and leaves q and r unchanged.
void divide(big_int& q, const big_int& a, const big_int& b, big_int& r);
// The quotient and the remainder of divide; zero (after the report) when b is zero.
big_int operator/(const big_int& a, const big_int& b);
big_int operator%(const big_int& a, const big_int& b);
// a / b for b known to divide a exactly, faster than /; with a remainder the result is
// unspecified (but a value). b zero: the report of / and zero.
big_int exact_quotient(const big_int& a, const big_int& b);

// -1, 0 or +1 as a is less than, equal to or greater than b. Inline, as the comparisons
// below: the arithmetic of fractions asks for signs and for 0 and 1 at every step.
inline int cmp(const big_int& a, const big_int& b) {
    const big_int_rep& ra = a.rep();
    const big_int_rep& rb = b.rep();
    if (ra.sign != rb.sign) return ra.sign < rb.sign ? -1 : 1;
    if (ra.sign == 0) return 0;
    // A longer magnitude is larger; for negative values that makes the value smaller.
    if (ra.len != rb.len) return ra.len < rb.len ? -ra.sign : ra.sign;
    return ra.sign * mag_cmp(ra.digits, rb.digits, ra.len);
}
// 1 or 0, from cmp.
inline int operator==(const big_int& a, const big_int& b) { return cmp(a, b) == 0; }
inline int operator!=(const big_int& a, const big_int& b) { return cmp(a, b) != 0; }
inline int operator<(const big_int& a, const big_int& b) { return cmp(a, b) == -1; }
inline int operator>(const big_int& a, const big_int& b) { return cmp(a, b) == 1; }
inline int operator<=(const big_int& a, const big_int& b) { return cmp(a, b) != 1; }
inline int operator>=(const big_int& a, const big_int& b) { return cmp(a, b) != -1; }

// The greatest common divisor of |a| and |b|, never negative; gcd(0, 0) = 0 and
// gcd(x, 0) = gcd(0, x) = |x|. Lehmer's method on the words: the same value as Euclid's
// algorithm with remainders (the gcd template for any integer type).
big_int gcd(const big_int& a, const big_int& b);

// gcd(d, x[0], ..., x[n - 1]), never negative; it stops at the first value that makes it 1.
// One value is made, at the end.
big_int gcd_with(const big_int& d, const big_int* x, std::size_t n);

// The product of the n values at factors (1 when n is 0), multiplied pairwise in a balanced
// tree so that the large products are few and of operands of equal size.
big_int product(const big_int* factors, std::size_t n);

// A value of up to n 32-bit digits (zero when n <= 0 or every digit came out 0), each digit
// drawn from 0 to 32767 by one process-wide generator, the first drawn the least significant.
big_int random_big_int(int n);

} // namespace velmora
