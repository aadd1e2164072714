// A small exact fraction for container tests whose text matters ("-1/2" in a
// framed table, the width of "-12/7"). It also counts its live objects, so that
// tests can see a container release everything it made.
#pragma once

#include <istream>
#include <numeric>
#include <ostream>
#include <sstream>

namespace velmora::testing_support {

class fraction {
public:
    fraction(long long n = 0, long long d = 1) : num_(n), den_(d) {
        const long long g = std::gcd(num_, den_);
        if (g != 0) num_ /= g, den_ /= g;
        if (den_ < 0) num_ = -num_, den_ = -den_;
        ++live;
    }
    fraction(const fraction& f) : num_(f.num_), den_(f.den_) { ++live; }
    fraction& operator=(const fraction&) = default;
    ~fraction() { --live; }

    long long num() const { return num_; }
    long long den() const { return den_; }

    // Objects constructed and not yet destroyed.
    static inline long live = 0;

private:
    long long num_;
    long long den_;
};

inline fraction operator+(const fraction& a, const fraction& b) {
    return {a.num() * b.den() + b.num() * a.den(), a.den() * b.den()};
}
inline fraction operator-(const fraction& a) { return {-a.num(), a.den()}; }
inline fraction operator-(const fraction& a, const fraction& b) { return a + -b; }
inline fraction operator*(const fraction& a, const fraction& b) { return {a.num() * b.num(), a.den() * b.den()}; }
inline fraction operator/(const fraction& a, const fraction& b) { return {a.num() * b.den(), a.den() * b.num()}; }
inline bool operator==(const fraction& a, const fraction& b) { return a.num() == b.num() && a.den() == b.den(); }

// "n" for an integer, else "n/d"; written as one item so a field width covers it.
inline std::ostream& operator<<(std::ostream& out, const fraction& f) {
    std::ostringstream text;
    text << f.num();
    if (f.den() != 1) text << '/' << f.den();
    return out << text.str();
}

// An integer, optionally followed directly by "/" and a second integer.
inline std::istream& operator>>(std::istream& in, fraction& f) {
    long long n = 0, d = 1;
    if (in >> n && in.peek() == '/') {
        in.get();
        in >> d;
    }
    f = fraction(n, d);
    return in;
}

} // namespace velmora::testing_support
