// Two matrices side by side in one frame of box-drawing characters (code page 437
// bytes, or the same shapes in UTF-8), every entry right-aligned in a column as
// wide as the widest entry.
#pragma once

#include "containers/matrix.hpp"
#include "diag/checked_text.hpp"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>

namespace velmora {

// The three characters of the top or bottom line of a frame: its corners and the
// junction between the two matrices.
struct frame_edge {
    std::string_view left, junction, right;
};

// The light box-drawing characters of a frame, each as the bytes that encode it.
struct frame_glyphs {
    std::string_view horizontal, vertical;
    frame_edge top, bottom;
};

// As single bytes of code page 437.
inline constexpr frame_glyphs code_page_437_frame{
    "\xC4", "\xB3", {"\xDA", "\xC2", "\xBF"}, {"\xC0", "\xC1", "\xD9"}};

// The same shapes in UTF-8 (U+2500, U+2502; U+250C, U+252C, U+2510; U+2514, U+2534, U+2518):
// the bytes a conversion of the code page 437 frame to UTF-8 gives.
inline constexpr frame_glyphs utf8_frame{"\xE2\x94\x80",
                                         "\xE2\x94\x82",
                                         {"\xE2\x94\x8C", "\xE2\x94\xAC", "\xE2\x94\x90"},
                                         {"\xE2\x94\x94", "\xE2\x94\xB4", "\xE2\x94\x98"}};

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

// Writes count copies of piece (1 to 4096 bytes), a block at a time: a line of a
// table may be longer than any buffer the memory allows. The block holds only as
// many copies as the count needs, so short runs cost little.
inline void write_repeated(std::ostream& out, std::string_view piece, std::uint64_t count) {
    char block[4096];
    assert(!piece.empty() && piece.size() <= sizeof block);
    const std::uint64_t per_block = std::min<std::uint64_t>(count, sizeof block / piece.size());
    for (std::uint64_t k = 0; k < per_block; ++k) std::memcpy(block + k * piece.size(), piece.data(), piece.size());
    for (; count > 0 && out; count -= std::min(count, per_block))
        out.write(block, static_cast<std::streamsize>(std::min(count, per_block) * piece.size()));
}

// " ", the edge's left corner, the horizontal run over both matrices with the edge's
// junction between them, its right corner and "\n". The runs are (width + 1) * cols + 1
// characters long, counted in 64 bits: they outgrow an int long before the memory runs out.
inline void frame_line(std::ostream& out, const frame_glyphs& glyphs, const frame_edge& edge, std::uint64_t width,
                       int left_cols, int right_cols) {
    out << ' ' << edge.left;
    write_repeated(out, glyphs.horizontal, (width + 1) * std::uint64_t(left_cols) + 1);
    out << edge.junction;
    write_repeated(out, glyphs.horizontal, (width + 1) * std::uint64_t(right_cols) + 1);
    out << edge.right << '\n';
}

// For every column of row i of a: a space, then the entry (fetched with at())
// preceded by as many spaces as it is shorter than width.
template <class T>
void framed_cells(std::ostream& out, checked_text& text, const matrix<T>& a, int i, std::uint64_t width) {
    for (int j = 0; j < a.cols(); ++j) {
        const std::string_view entry = entry_text(text, a.at(i, j));
        out << ' ';
        if (width > entry.size()) write_repeated(out, " ", width - entry.size());
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

// Writes left and right side by side in one frame of the given box-drawing
// characters, one body line per row of left; every line is 6 + (w + 1) *
// (left.cols() + right.cols()) characters before its "\n", w being the widest entry
// of both. A row missing from right is reported by at() per entry and shows zeros.
template <class T>
void output_framed_pair(std::ostream& out, const matrix<T>& left, const matrix<T>& right,
                        const frame_glyphs& glyphs = code_page_437_frame) {
    const std::uint64_t width = std::max(detail::widest_entry(left), detail::widest_entry(right));
    checked_text text;
    detail::frame_line(out, glyphs, glyphs.top, width, left.cols(), right.cols());
    for (int i = 0; i < left.rows(); ++i) {
        out << ' ' << glyphs.vertical;
        detail::framed_cells(out, text, left, i, width);
        out << ' ' << glyphs.vertical;
        detail::framed_cells(out, text, right, i, width);
        out << ' ' << glyphs.vertical << '\n';
    }
    detail::frame_line(out, glyphs, glyphs.bottom, width, left.cols(), right.cols());
}

} // namespace velmora
