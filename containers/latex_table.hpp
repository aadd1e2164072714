// Tables of the LaTeX document: one matrix, or two side by side with a rule between them,
// set at \footnotesize (8 pt) and never scaled. Fractions are \dfrac, so that their digits
// keep the size of the table's; integers longer than a display line are stacked in pieces of
// latex_chunk_digits digits. A table wider than latex_table_width is set in column blocks
// (the left matrix's columns, then the right one's), one taller than latex_table_height in row
// blocks, each block a display of its own; a line before the blocks says how it was split.
// The widths are estimates from the digit counts, made on the safe side for the fonts of
// LaTeX's standard classes.
#pragma once

#include "bigint/big_int.hpp"
#include "bigint/text.hpp"
#include "containers/matrix.hpp"
#include "containers/plain_text.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/checked_text.hpp"
#include "rational/rational.hpp"

#include <algorithm>
#include <ostream>
#include <string_view>

namespace velmora {

// The width (in points) a table may take: the text width of LaTeX's article class at
// 10 pt, less the parentheses around the table.
inline constexpr double latex_table_width = 345.0 - 28.0;
// The height (in points) of one block of rows, below a page's text height with room for
// the narration around it.
inline constexpr double latex_table_height = 330.0;
// The most digits set on one line of a table cell.
inline constexpr int latex_chunk_digits = 30;

// Where a table marks its pivot: row and column of the left matrix, or none.
struct table_mark {
    int row = -1, col = -1;
};

namespace detail {

// Estimates in points for \footnotesize (8 pt Computer Modern), a little on the wide side.
inline constexpr double digit_width = 4.3, minus_width = 6.7, fraction_extra = 2.6,
                        box_extra = 7.0, column_separation = 10.0, line_height = 9.5,
                        fraction_gap = 4.0;

// The decimal text of one entry, its sign apart: numerator digits, and denominator digits
// (empty for an integer).
class latex_entry {
public:
    void set(const big_int& x) {
        num_.restart();
        den_.restart();
        num_ << x;
    }
    void set(const rational<big_int>& x) {
        num_.restart();
        den_.restart();
        num_ << x.numerator;
        if (x.denominator != big_int(1)) den_ << x.denominator;
    }
    bool negative() const { return !num_.text().empty() && num_.text()[0] == '-'; }
    std::string_view numerator() const { return negative() ? num_.text().substr(1) : num_.text(); }
    std::string_view denominator() const { return den_.text(); }
    bool fraction() const { return !den_.text().empty(); }

private:
    checked_text num_, den_;
};

inline int chunk_count(std::string_view digits) {
    return digits.empty() ? 1 : int((digits.size() + latex_chunk_digits - 1) / latex_chunk_digits);
}

inline double digits_width(std::string_view digits) {
    return digit_width * double(std::min<std::size_t>(digits.size(), latex_chunk_digits));
}

inline double entry_width(const latex_entry& e, bool boxed) {
    double w = digits_width(e.numerator());
    if (e.fraction()) w = std::max(w, digits_width(e.denominator())) + fraction_extra;
    if (e.negative()) w += minus_width;
    return w + (boxed ? box_extra : 0.0);
}

inline double entry_height(const latex_entry& e) {
    if (!e.fraction()) return line_height * chunk_count(e.numerator());
    return line_height * (chunk_count(e.numerator()) + chunk_count(e.denominator())) + fraction_gap;
}

// Digits on one line, or stacked in pieces in an array of their own.
inline void write_digits(std::ostream& out, std::string_view digits) {
    if (digits.size() <= std::size_t(latex_chunk_digits)) {
        out << digits;
        return;
    }
    out << "\\begin{array}{@{}r@{}}";
    for (std::size_t k = 0; k < digits.size(); k += latex_chunk_digits) {
        if (k > 0) out << "\\\\";
        out << digits.substr(k, latex_chunk_digits);
    }
    out << "\\end{array}";
}

inline void write_entry(std::ostream& out, const latex_entry& e, bool boxed) {
    if (boxed) out << "\\boxed{";
    if (e.negative()) out << '-';
    if (e.fraction()) {
        out << "\\dfrac{";
        write_digits(out, e.numerator());
        out << "}{";
        write_digits(out, e.denominator());
        out << '}';
    } else {
        write_digits(out, e.numerator());
    }
    if (boxed) out << '}';
}

// An array needs a column: what has none shows as empty parentheses with its size.
inline void latex_empty_matrix(std::ostream& out, int rows, int cols) {
    out << "\\[\\left(\\;\\right)_{";
    write_count(out, rows);
    out << " \\times ";
    write_count(out, cols);
    out << "}\\]\n";
}

// "column 3 of B" or "columns 0 to 6 of B".
inline void write_column_range(std::ostream& out, int first, int last, char name) {
    out << (first == last ? "column " : "columns ");
    write_count(out, first);
    if (last > first) {
        out << " to ";
        write_count(out, last);
    }
    out << " of " << name;
}

// One table: the left matrix and, when there is one, the right matrix beside it. Columns
// are numbered across both: left's first, then right's.
template <class T>
class latex_table {
public:
    latex_table(const matrix<T>& left, const matrix<T>* right, char left_name, char right_name, table_mark mark)
        : left_(left), right_(right), names_{left_name, right_name}, mark_(mark),
          col_width_(std::size_t(columns())), row_height_(std::size_t(left.rows())) {}

    void write(std::ostream& out) {
        if (columns() == 0 || left_.rows() == 0) {
            latex_empty_matrix(out, left_.rows(), left_.cols());
            return;
        }
        measure();
        checked_buffer<int> col_starts(std::size_t(columns()) + 1), row_starts(std::size_t(left_.rows()) + 1);
        const int col_blocks = blocks(col_width_, latex_table_width, col_starts.data());
        const int row_blocks = blocks(row_height_, latex_table_height, row_starts.data());
        if (col_blocks * row_blocks > 1) {
            out << "This table is too large for one display; it is set in ";
            write_count(out, col_blocks * row_blocks);
            out << " parts: ";
            for (int c = 0; c < col_blocks; ++c)
                for (int r = 0; r < row_blocks; ++r) {
                    if (c + r > 0) out << "; ";
                    describe(out, col_starts[c], col_starts[c + 1], row_starts[r], row_starts[r + 1], row_blocks > 1);
                }
            out << ".\\par\n";
        }
        for (int c = 0; c < col_blocks; ++c)
            for (int r = 0; r < row_blocks; ++r)
                write_block(out, col_starts[c], col_starts[c + 1], row_starts[r], row_starts[r + 1]);
    }

private:
    int right_cols() const { return right_ == nullptr ? 0 : right_->cols(); }
    int columns() const { return left_.cols() + right_cols(); }

    // Entry (i, c) of the joined columns.
    T entry(int i, int c) const {
        return c < left_.cols() ? left_.at(i, c) : right_->at(i, c - left_.cols());
    }
    bool boxed(int i, int c) const { return i == mark_.row && c == mark_.col && c < left_.cols(); }

    void measure() {
        latex_entry e;
        for (int i = 0; i < left_.rows(); ++i)
            for (int c = 0; c < columns(); ++c) {
                e.set(entry(i, c));
                fractions_ = fractions_ || e.fraction();
                col_width_[std::size_t(c)] = std::max(col_width_[std::size_t(c)], entry_width(e, boxed(i, c)));
                row_height_[std::size_t(i)] = std::max(row_height_[std::size_t(i)], entry_height(e));
            }
        for (std::size_t c = 0; c < col_width_.size(); ++c) col_width_[c] += column_separation;
        if (fractions_)
            for (std::size_t i = 0; i < row_height_.size(); ++i) row_height_[i] += fraction_gap;
    }

    // Greedy blocks of consecutive items whose sizes add up to at most limit (at least one
    // item each): their starts in starts[0..count], starts[count] the item count.
    static int blocks(const checked_buffer<double>& sizes, double limit, int* starts) {
        int count = 0;
        double used = 0;
        starts[0] = 0;
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            if (k > 0 && used + sizes[k] > limit) {
                starts[++count] = int(k);
                used = 0;
            }
            used += sizes[k];
        }
        starts[++count] = int(sizes.size());
        return count;
    }

    void describe(std::ostream& out, int c0, int c1, int r0, int r1, bool rows) const {
        const int split = left_.cols();
        if (c0 < split) write_column_range(out, c0, std::min(c1, split) - 1, names_[0]);
        if (c0 < split && c1 > split) out << " and ";
        if (c1 > split) write_column_range(out, std::max(c0, split) - split, c1 - 1 - split, names_[1]);
        if (rows) {
            out << (r1 - r0 == 1 ? ", row " : ", rows ");
            write_count(out, r0);
            if (r1 - r0 > 1) {
                out << " to ";
                write_count(out, r1 - 1);
            }
        }
    }

    void write_block(std::ostream& out, int c0, int c1, int r0, int r1) const {
        out << "\\begin{center}\\footnotesize\n$\\left(\\begin{array}{";
        for (int c = c0; c < c1; ++c) out << (c == left_.cols() && c > c0 ? "|r" : "r");
        out << "}\n";
        latex_entry e;
        for (int i = r0; i < r1; ++i) {
            for (int c = c0; c < c1; ++c) {
                if (c > c0) out << " & ";
                e.set(entry(i, c));
                write_entry(out, e, boxed(i, c));
            }
            out << (fractions_ ? " \\\\ \\noalign{\\vskip 4pt}\n" : " \\\\\n");
        }
        out << "\\end{array}\\right)$\n\\end{center}\n";
    }

    const matrix<T>& left_;
    const matrix<T>* right_;
    char names_[2];
    table_mark mark_;
    bool fractions_ = false;
    checked_buffer<double> col_width_, row_height_;
};

} // namespace detail

// a as a table of the document, named name in a split's line.
template <class T>
void output_latex_table(std::ostream& out, const matrix<T>& a, char name) {
    detail::latex_table<T>(a, nullptr, name, name, table_mark{}).write(out);
}

// left and right side by side as one table with a rule between them, named left_name and
// right_name in a split's line; the entry of left at mark, if any, is boxed.
template <class T>
void output_latex_table(std::ostream& out, const matrix<T>& left, const matrix<T>& right, char left_name,
                        char right_name, table_mark mark) {
    detail::latex_table<T>(left, &right, left_name, right_name, mark).write(out);
}

} // namespace velmora
