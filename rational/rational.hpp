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
        numerator = exact_quotient(numerator, g);
        denominator = exact_quotient(denominator, g);
    }

    bool is_integer() const { return denominator == T(1); }
};

namespace rational_detail {

// True when a's denominator is positive. Every value that the operations build is in
// normal form, which the fast paths below take for granted; values with a zero or negative
// denominator (possible only by setting the fields directly) take the reference path.
template <class T>
bool positive_denominator(const rational<T>& a) {
    return a.denominator > T(0);
}

// a + sign * b by the reference method: multiply out, then normalize.
template <class T>
rational<T> reference_sum(const rational<T>& a, const rational<T>& b, int sign) {
    rational<T> r;
    r.numerator = sign > 0 ? a.numerator * b.denominator + b.numerator * a.denominator
                           : a.numerator * b.denominator - b.numerator * a.denominator;
    r.denominator = a.denominator * b.denominator;
    r.normalize();
    return r;
}

// a + sign * b for operands in normal form, the same value as reference_sum: a zero operand
// gives the other, and otherwise only the gcd g of the denominators is cancelled: with
// q = g q' and s = g s', t = p s' ± r q' has gcd(t, q' s' g) = gcd(t, g).
template <class T>
rational<T> sum(const rational<T>& a, const rational<T>& b, int sign) {
    if (!positive_denominator(a) || !positive_denominator(b)) return reference_sum(a, b, sign);
    const T zero(0), one(1);
    if (b.numerator == zero) return a;
    if (a.numerator == zero) return sign > 0 ? b : -b;
    rational<T> r;
    if (a.denominator == one && b.denominator == one) {
        r.numerator = sign > 0 ? a.numerator + b.numerator : a.numerator - b.numerator;
        return r;
    }
    const T g = gcd(a.denominator, b.denominator);
    if (g == one) {
        r.numerator = sign > 0 ? a.numerator * b.denominator + b.numerator * a.denominator
                               : a.numerator * b.denominator - b.numerator * a.denominator;
        r.denominator = a.denominator * b.denominator;
        return r;
    }
    const T q = exact_quotient(a.denominator, g), s = exact_quotient(b.denominator, g);
    const T t = sign > 0 ? a.numerator * s + b.numerator * q : a.numerator * s - b.numerator * q;
    if (t == zero) return r;
    const T h = gcd(t, g);
    r.numerator = exact_quotient(t, h);
    r.denominator = q * exact_quotient(b.denominator, h);
    return r;
}

// The cross-cancelled product (p / g1)(r / g2) / ((q / g2)(s / g1)); for operands in normal
// form it is already in lowest terms, so only a negative denominator needs fixing.
template <class T>
rational<T> cancelled_product(const T& p, const T& q, const T& r, const T& s, bool normal) {
    const T zero(0), one(1);
    if (normal && (p == zero || r == zero)) return rational<T>();
    const T g1 = gcd(p, s);
    const T g2 = gcd(r, q);
    rational<T> result;
    // Most factors are coprime: a gcd of 1 divides nothing.
    if (g1 == one && g2 == one) {
        result.numerator = p * r;
        result.denominator = q * s;
    } else {
        result.numerator = exact_quotient(p, g1) * exact_quotient(r, g2);
        result.denominator = exact_quotient(q, g2) * exact_quotient(s, g1);
    }
    if (!normal) {
        result.normalize();
    } else if (result.denominator < zero) {
        result.numerator = -result.numerator;
        result.denominator = -result.denominator;
    }
    return result;
}

} // namespace rational_detail

// Arithmetic on operands in normal form; every result is in normal form. The
// product and quotient cancel crosswise first to keep their products small.
template <class T>
rational<T> operator+(const rational<T>& a, const rational<T>& b) {
    return rational_detail::sum(a, b, 1);
}

template <class T>
rational<T> operator-(const rational<T>& a, const rational<T>& b) {
    return rational_detail::sum(a, b, -1);
}

template <class T>
rational<T> operator*(const rational<T>& a, const rational<T>& b) {
    const bool normal = rational_detail::positive_denominator(a) && rational_detail::positive_denominator(b);
    return rational_detail::cancelled_product(a.numerator, a.denominator, b.numerator, b.denominator, normal);
}

// A zero divisor takes the reference path, whose divisions by zero report as specified.
template <class T>
rational<T> operator/(const rational<T>& a, const rational<T>& b) {
    const bool normal = rational_detail::positive_denominator(a) && rational_detail::positive_denominator(b) &&
                        b.numerator != T(0);
    return rational_detail::cancelled_product(a.numerator, a.denominator, b.denominator, b.numerator, normal);
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
    if (rational_detail::positive_denominator(a)) return a.numerator > zero ? 1 : -1;
    if (a.numerator > zero && a.denominator > zero) return 1;
    if (a.numerator < zero && a.denominator < zero) return 1;
    return -1;
}

// The sign of the difference a - b, built and normalized: the reference for cmp.
template <class T>
int reference_cmp(const rational<T>& a, const rational<T>& b) {
    return sgn(rational_detail::reference_sum(a, b, -1));
}

// The sign of a - b. All six comparisons go through it. For operands in normal form it
// is found from the signs and, for equal signs, the cross products p s and r q.
template <class T>
int cmp(const rational<T>& a, const rational<T>& b) {
    if (!rational_detail::positive_denominator(a) || !rational_detail::positive_denominator(b))
        return reference_cmp(a, b);
    const int sa = sgn(a), sb = sgn(b);
    if (sa != sb) return sa < sb ? -1 : 1;
    if (sa == 0) return 0;
    if (a.denominator == b.denominator) return cmp(a.numerator, b.numerator);
    return cmp(a.numerator * b.denominator, b.numerator * a.denominator);
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
