// Two matrices side by side in one frame of code page 437 box-drawing bytes,
// every entry right-aligned in a column as wide as the widest entry.
#pragma once

#include "containers/matrix.hpp"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>

namespace velmora {

namespace detail {

// The text the element type's output operator gives x on a fresh stream.
template <class T>
std::string entry_text(const T& x) {
    std::ostringstream text;
    text << x;
    return text.str();
}

// Code page 437 box drawings, light.
inline constexpr char box_horizontal = '\xC4';
inline constexpr char box_vertical = '\xB3';

// " ", a corner, the horizontal run over both matrices with `junction` between
// them, the other corner and "\n".
inline void frame_line(std::ostream& out, int width, int left_cols, int right_cols, char left_corner,
                       char junction, char right_corner) {
    out << ' ' << left_corner << std::string(static_cast<std::size_t>((width + 1) * left_cols + 1), box_horizontal)
        << junction << std::string(static_cast<std::size_t>((width + 1) * right_cols + 1), box_horizontal)
        << right_corner << '\n';
}

// For every column of row i of a: a space, then the entry (fetched with at())
// preceded by as many spaces as it is shorter than width.
template <class T>
void framed_cells(std::ostream& out, const matrix<T>& a, int i, int width) {
    for (int j = 0; j < a.cols(); ++j) {
        const std::string text = entry_text(a.at(i, j));
        const int pad = width > static_cast<int>(text.size()) ? width - static_cast<int>(text.size()) : 0;
        out << ' ' << std::string(static_cast<std::size_t>(pad), ' ') << text;
    }
}

} // namespace detail

// Length of the longest entry text of a (written alone with default
// formatting), or 0 when a has no entries.
template <class T>
int entry_width(const matrix<T>& a) {
    int width = 0;
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) {
            const int length = static_cast<int>(detail::entry_text(a(i, j)).size());
            if (length > width) width = length;
        }
    return width;
}

// Writes left and right side by side in one frame, one body line per row of
// left; every line is 6 + (w + 1) * (left.cols() + right.cols()) bytes before
// its "\n", w being the widest entry of both. A row missing from right is
// reported by at() per entry and shows zeros.
template <class T>
void output_framed_pair(std::ostream& out, const matrix<T>& left, const matrix<T>& right) {
    const int width = std::max(entry_width(left), entry_width(right));
    detail::frame_line(out, width, left.cols(), right.cols(), '\xDA', '\xC2', '\xBF');
    for (int i = 0; i < left.rows(); ++i) {
        out << ' ' << detail::box_vertical;
        detail::framed_cells(out, left, i, width);
        out << ' ' << detail::box_vertical;
        detail::framed_cells(out, right, i, width);
        out << ' ' << detail::box_vertical << '\n';
    }
    detail::frame_line(out, width, left.cols(), right.cols(), '\xC0', '\xC1', '\xD9');
}

} // namespace velmora
