// The plain text form of vectors and matrices, read and written: the counts,
// then the entries, each written followed by a tab. Entries go through the
// element type's own stream operators.
#pragma once

#include "containers/matrix.hpp"
#include "diag/report.hpp"

#include <charconv>
#include <istream>
#include <ostream>
#include <string_view>

namespace velmora {

namespace detail {

// Reads one count with the standard decimal int extraction: 0 stays when
// nothing can be read, an overflow gives INT_MAX, both with failbit set.
inline int read_count(std::istream& in) {
    int count = 0;
    const std::ios::fmtflags flags = in.flags();
    in >> std::dec >> count;
    in.flags(flags);
    return count;
}

// Writes a count in decimal whatever the stream's base flags, as one formatted item,
// from a buffer on the stack.
inline void write_count(std::ostream& out, int count) {
    char digits[16];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, count);
    out << std::string_view(digits, static_cast<std::size_t>(end.ptr - digits));
}

// Flushes, so that a device that refuses the bytes shows in the stream state,
// then reports (-5) a stream that has failed.
inline void check_written(std::ostream& out, const char* message) {
    out.flush();
    if (out.fail()) matrix_error(-5, message);
}

} // namespace detail

// "rows cols\n", then every row as its entries each followed by "\t", and "\n".
// The counts are always decimal. A failed stream is reported (-5).
template <class T>
std::ostream& operator<<(std::ostream& out, const matrix<T>& a) {
    detail::write_count(out, a.rows());
    out << ' ';
    detail::write_count(out, a.cols());
    out << '\n';
    for (int i = 0; i < a.rows(); ++i) {
        for (int j = 0; j < a.cols(); ++j) out << a(i, j) << '\t';
        out << '\n';
    }
    detail::check_written(out, "matrix::output error");
    return out;
}

// "size\n", every item followed by "\t", then "\n". A failed stream is reported (-5).
template <class T>
std::ostream& operator<<(std::ostream& out, const vector<T>& v) {
    detail::write_count(out, v.size());
    out << '\n';
    for (int k = 0; k < v.size(); ++k) out << v[k] << '\t';
    out << '\n';
    detail::check_written(out, "vector::output error");
    return out;
}

// Reads the counts m and n, resizes (which reports bad counts), reads the
// m * n entries row by row while matrix_status is 1, whatever they are
// separated by, and reports (-4) a stream that has failed by then.
template <class T>
std::istream& operator>>(std::istream& in, matrix<T>& a) {
    const int m = detail::read_count(in);
    const int n = detail::read_count(in);
    a.resize(m, n);
    if (matrix_status == 1) {
        for (int i = 0; i < a.rows(); ++i)
            for (int j = 0; j < a.cols(); ++j) in >> a(i, j);
    }
    if (in.fail()) matrix_error(-4, "matrix::operator >> : input error");
    return in;
}

// The same with one count.
template <class T>
std::istream& operator>>(std::istream& in, vector<T>& v) {
    v.resize(detail::read_count(in));
    if (matrix_status == 1) {
        for (int k = 0; k < v.size(); ++k) in >> v[k];
    }
    if (in.fail()) matrix_error(-4, "vector::operator >> : input error");
    return in;
}

} // namespace velmora
