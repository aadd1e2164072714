// Absolute value and greatest common divisor for any integer-like type T with
// construction from int, comparison, negation and the remainder %.
#pragma once

namespace velmora {

// -x when x < 0, else a copy of x.
template <class T>
T abs(const T& x) {
    return x < T(0) ? -x : x;
}

// a / b for b known to divide a (a gcd, a content). Types with a faster exact division
// (big_int) overload it; this is the plain quotient.
template <class T>
T exact_quotient(const T& a, const T& b) {
    return a / b;
}

// Greatest common divisor of |a| and |b| by Euclid's algorithm; never negative.
// gcd(0, 0) = 0 and gcd(x, 0) = gcd(0, x) = |x|.
template <class T>
T gcd(T a, T b) {
    a = abs(a);
    b = abs(b);
    while (b != T(0)) {
        T t = a % b;
        a = b;
        b = t;
    }
    return a;
}

} // namespace velmora
