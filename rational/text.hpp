// Text form of rationals: an integer, optionally followed directly by "/" and a
// second integer.
#pragma once

#include "diag/checked_text.hpp"
#include "diag/report.hpp"
#include "rational/rational.hpp"

#include <istream>
#include <ostream>

namespace velmora {

// An integer value is written by T's own output (following the stream's base);
// a fraction is formatted in decimal apart and written as one item, so that a
// field width applies to the whole fraction. The fraction's text is built in checked
// memory: running out of it is the fatal report, never a shortened fraction.
template <class T>
std::ostream& operator<<(std::ostream& out, const rational<T>& a) {
    if (a.denominator == T(1)) return out << a.numerator;
    checked_text text;
    text << a.numerator << '/' << a.denominator;
    return out << text.text();
}

// Reads n or n/d. A zero denominator (including one that could not be read) is
// refused before any division: it is reported, the value becomes 0 and failbit
// is set so that an enclosing reader reports its input error. A numerator at
// the very end of the text reads as n/1 with only eofbit set.
template <class T>
std::istream& operator>>(std::istream& in, rational<T>& a) {
    T n;
    in >> n;
    // A stream that is no longer good is left as it is; a number that ended the text
    // stands alone (eofbit, as peek would set it). The next character is looked at in the
    // buffer itself: the number was just read, so no sentry (nor its flush) is needed.
    const bool slash = in.good() && [&] {
        const std::istream::int_type c = in.rdbuf()->sgetc();
        if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) {
            in.setstate(std::ios::eofbit);
            return false;
        }
        return std::istream::traits_type::to_char_type(c) == '/';
    }();
    if (!slash) {
        a = rational<T>(n);
        return in;
    }
    in.rdbuf()->sbumpc();
    T d;
    in >> d;
    if (d == T(0)) {
        rational_error("zero denominator");
        a = rational<T>();
        in.setstate(std::ios::failbit);
        return in;
    }
    a = rational<T>(n) / rational<T>(d);
    return in;
}

// A null s reads as empty text, as for the integers.
template <class T>
rational<T>::rational(const char* s) : numerator(0), denominator(1) {
    text_reader in(s);
    rational<T> value;
    in >> value;
    *this = value;
}

} // namespace velmora
