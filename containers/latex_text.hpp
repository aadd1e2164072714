// The LaTeX-style text of vectors and matrices, written only. Entries are
// fetched with at() and written with the element type's output operator; the
// stream state is not checked.
#pragma once

#include "containers/matrix.hpp"

#include <ostream>

namespace velmora {

namespace detail {

// Writes the entries of row i of a, joined by "\t & "; a leading separator too
// when cells_before says that the row already has cells on its left.
template <class T>
void latex_cells(std::ostream& out, const matrix<T>& a, int i, bool cells_before) {
    for (int j = 0; j < a.cols(); ++j) {
        if (cells_before || j > 0) out << "\t & ";
        out << a.at(i, j);
    }
}

// "r" once per column.
inline void latex_column_letters(std::ostream& out, int cols) {
    for (int j = 0; j < cols; ++j) out << 'r';
}

inline void latex_array_end(std::ostream& out) { out << "\\end{array}\n\\right) \n"; }

} // namespace detail

// A parenthesised array with one right-aligned column per matrix column; every
// row ends in " \\ " and a line feed, the last one included.
template <class T>
std::ostream& output_latex(std::ostream& out, const matrix<T>& a) {
    out << "\\left(\n\\begin{array}{";
    detail::latex_column_letters(out, a.cols());
    out << "} \n";
    for (int i = 0; i < a.rows(); ++i) {
        detail::latex_cells(out, a, i, false);
        out << " \\\\ \n";
    }
    detail::latex_array_end(out);
    return out;
}

// left and right side by side in one parenthesised array, in the form of a single
// matrix with a vertical rule between the columns of the two: one row per row of
// left. A row missing from right is reported by at() per entry and shows zeros.
// LaTeX needs at least one column in an array.
template <class T>
std::ostream& output_latex_pair(std::ostream& out, const matrix<T>& left, const matrix<T>& right) {
    out << "\\left(\n\\begin{array}{";
    detail::latex_column_letters(out, left.cols());
    out << '|';
    detail::latex_column_letters(out, right.cols());
    out << "} \n";
    for (int i = 0; i < left.rows(); ++i) {
        detail::latex_cells(out, left, i, false);
        detail::latex_cells(out, right, i, left.cols() > 0);
        out << " \\\\ \n";
    }
    detail::latex_array_end(out);
    return out;
}

// The items as a transposed row: "\left(" items joined by ", & " "\right) ^{\rm T} ".
template <class T>
std::ostream& output_latex(std::ostream& out, const vector<T>& v) {
    out << "\\left(";
    for (int k = 0; k < v.size(); ++k) {
        if (k > 0) out << ", & ";
        out << v.at(k);
    }
    out << "\\right) ^{\\rm T} \n";
    return out;
}

} // namespace velmora
