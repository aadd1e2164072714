// rational<T>: an exact fraction of integers of type T, kept in lowest terms with
// a positive denominator by every operation that builds a new value.
#pragma once

#include "rational/gcd.hpp"

namespace velmora {

template <class T>
class rational {
public:
    T numerator;    // carries the sign
    T denominator;  // positive in normal form

    rational() : numerator(0), denominator(1) {}
    rational(int n) : numerator(n), denominator(1) {}
    rational(const T& n) : numerator(n), denominator(1) {}
    // n/d brought to normal form. A zero d is not rejected: see normalize.
    rational(const T& n, const T& d) : numerator(n), denominator(d) { normalize(); }
    // The value read from the text s by the input operator; the rest of s is ignored.
    explicit rational(const char* s);

    // Moves the sign to the numerator and divides both by their gcd. With a zero
    // denominator the result is ±1/0 (or 0/0 after division-by-zero reports).
    void normalize() {
        if (denominator < T(0)) {
            numerator = -numerator;
            denominator = -denominator;
        }
        const T g = gcd(numerator, denominator);
        numerator = numerator / g;
        denominator = denominator / g;
    }

    bool is_integer() const { return denominator == T(1); }
};

// Arithmetic on operands in normal form; every result is in normal form. The
// product and quotient cancel crosswise first to keep their products small.
template <class T>
rational<T> operator+(const rational<T>& a, const rational<T>& b) {
    rational<T> r;
    r.numerator = a.numerator * b.denominator + b.numerator * a.denominator;
    r.denominator = a.denominator * b.denominator;
    r.normalize();
    return r;
}

template <class T>
rational<T> operator-(const rational<T>& a, const rational<T>& b) {
    rational<T> r;
    r.numerator = a.numerator * b.denominator - b.numerator * a.denominator;
    r.denominator = a.denominator * b.denominator;
    r.normalize();
    return r;
}

template <class T>
rational<T> operator*(const rational<T>& a, const rational<T>& b) {
    const T g1 = gcd(a.numerator, b.denominator);
    const T g2 = gcd(b.numerator, a.denominator);
    rational<T> r;
    r.numerator = (a.numerator / g1) * (b.numerator / g2);
    r.denominator = (a.denominator / g2) * (b.denominator / g1);
    r.normalize();
    return r;
}

template <class T>
rational<T> operator/(const rational<T>& a, const rational<T>& b) {
    const T g1 = gcd(a.numerator, b.numerator);
    const T g2 = gcd(b.denominator, a.denominator);
    rational<T> r;
    r.numerator = (a.numerator / g1) * (b.denominator / g2);
    r.denominator = (a.denominator / g2) * (b.numerator / g1);
    r.normalize();
    return r;
}

template <class T>
rational<T> operator-(const rational<T>& a) {
    rational<T> r = a;
    r.numerator = -a.numerator;
    return r;
}

template <class T>
rational<T> operator+(const rational<T>& a) {
    return a;
}

// -1, 0 or 1; also right for a value whose denominator is negative.
template <class T>
int sgn(const rational<T>& a) {
    const T zero(0);
    if (a.numerator == zero) return 0;
    if (a.numerator > zero && a.denominator > zero) return 1;
    if (a.numerator < zero && a.denominator < zero) return 1;
    return -1;
}

// The sign of a - b. All six comparisons go through it.
template <class T>
int cmp(const rational<T>& a, const rational<T>& b) {
    return sgn(a - b);
}

template <class T> int operator<(const rational<T>& a, const rational<T>& b) { return cmp(a, b) == -1; }
template <class T> int operator==(const rational<T>& a, const rational<T>& b) { return cmp(a, b) == 0; }
template <class T> int operator!=(const rational<T>& a, const rational<T>& b) { return cmp(a, b) != 0; }
template <class T> int operator>(const rational<T>& a, const rational<T>& b) { return cmp(a, b) == 1; }
template <class T> int operator>=(const rational<T>& a, const rational<T>& b) { return cmp(a, b) != -1; }
template <class T> int operator<=(const rational<T>& a, const rational<T>& b) { return cmp(a, b) != 1; }

// Greatest integer not above a.
template <class T>
T ifloor(const rational<T>& a) {
    const T t = a.numerator / a.denominator;
    if (a.numerator % a.denominator == T(0) || a.numerator >= T(0)) return t;
    return t - T(1);
}

// Least integer not below a.
template <class T>
T iceil(const rational<T>& a) {
    const T t = a.numerator / a.denominator;
    if (a.numerator % a.denominator == T(0) || a.numerator < T(0)) return t;
    return t + T(1);
}

template <class T> rational<T> lower_whole(const rational<T>& a) { return rational<T>(ifloor(a)); }
template <class T> rational<T> upper_whole(const rational<T>& a) { return rational<T>(iceil(a)); }

// a - lower_whole(a), in [0, 1).
template <class T>
rational<T> frac(const rational<T>& a) {
    return a - lower_whole(a);
}

} // namespace velmora

#include "rational/text.hpp"
