// Two matrices side by side in one frame of code page 437 box-drawing bytes,
// every entry right-aligned in a column as wide as the widest entry.
#pragma once

#include "containers/matrix.hpp"
#include "diag/checked_text.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace velmora {

namespace detail {

// Writes x into text, emptied first, as the element type's output operator gives it on a
// fresh stream with default formatting; returns the text.
template <class T>
std::string_view entry_text(checked_text& text, const T& x) {
    text.restart();
    text << x;
    return text.text();
}

// Length of the longest entry text of a, or 0 when a has no entries.
template <class T>
std::size_t widest_entry(const matrix<T>& a) {
    checked_text text;
    std::size_t width = 0;
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) width = std::max(width, entry_text(text, a(i, j)).size());
    return width;
}

// Writes count copies of c, a block at a time: a line of a table may be longer than
// any buffer the memory allows.
inline void write_repeated(std::ostream& out, char c, std::uint64_t count) {
    char block[4096];
    std::fill_n(block, sizeof block, c);
    for (; count > 0 && out; count -= std::min<std::uint64_t>(count, sizeof block))
        out.write(block, static_cast<std::streamsize>(std::min<std::uint64_t>(count, sizeof block)));
}

// Code page 437 box drawings, light.
inline constexpr char box_horizontal = '\xC4';
inline constexpr char box_vertical = '\xB3';

// " ", a corner, the horizontal run over both matrices with `junction` between
// them, the other corner and "\n". The runs are (width + 1) * cols + 1 bytes long,
// counted in 64 bits: they outgrow an int long before the memory runs out.
inline void frame_line(std::ostream& out, std::uint64_t width, int left_cols, int right_cols, char left_corner,
                       char junction, char right_corner) {
    out << ' ' << left_corner;
    write_repeated(out, box_horizontal, (width + 1) * std::uint64_t(left_cols) + 1);
    out << junction;
    write_repeated(out, box_horizontal, (width + 1) * std::uint64_t(right_cols) + 1);
    out << right_corner << '\n';
}

// For every column of row i of a: a space, then the entry (fetched with at())
// preceded by as many spaces as it is shorter than width.
template <class T>
void framed_cells(std::ostream& out, checked_text& text, const matrix<T>& a, int i, std::uint64_t width) {
    for (int j = 0; j < a.cols(); ++j) {
        const std::string_view entry = entry_text(text, a.at(i, j));
        out << ' ';
        if (width > entry.size()) write_repeated(out, ' ', width - entry.size());
        out.write(entry.data(), static_cast<std::streamsize>(entry.size()));
    }
}

} // namespace detail

// Length of the longest entry text of a (written alone with default
// formatting), or 0 when a has no entries.
template <class T>
int entry_width(const matrix<T>& a) {
    const std::size_t width = detail::widest_entry(a);
    // Saturates at the largest int; the tables themselves measure widths in 64 bits.
    return static_cast<int>(std::min<std::size_t>(width, INT32_MAX));
}

// Writes left and right side by side in one frame, one body line per row of
// left; every line is 6 + (w + 1) * (left.cols() + right.cols()) bytes before
// its "\n", w being the widest entry of both. A row missing from right is
// reported by at() per entry and shows zeros.
template <class T>
void output_framed_pair(std::ostream& out, const matrix<T>& left, const matrix<T>& right) {
    const std::uint64_t width = std::max(detail::widest_entry(left), detail::widest_entry(right));
    checked_text text;
    detail::frame_line(out, width, left.cols(), right.cols(), '\xDA', '\xC2', '\xBF');
    for (int i = 0; i < left.rows(); ++i) {
        out << ' ' << detail::box_vertical;
        detail::framed_cells(out, text, left, i, width);
        out << ' ' << detail::box_vertical;
        detail::framed_cells(out, text, right, i, width);
        out << ' ' << detail::box_vertical << '\n';
    }
    detail::frame_line(out, width, left.cols(), right.cols(), '\xC0', '\xC1', '\xD9');
}

} // namespace velmora
