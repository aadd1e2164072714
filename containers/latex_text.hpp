// The LaTeX-style text of vectors and matrices, written only. Entries are
// fetched with at() and written with the element type's output operator; the
// stream state is not checked.
#pragma once

#include "containers/matrix.hpp"

#include <ostream>

namespace velmora {

// A parenthesised array with one right-aligned column per matrix column; every
// row ends in " \\ " and a line feed, the last one included.
template <class T>
std::ostream& output_latex(std::ostream& out, const matrix<T>& a) {
    out << "\\left(\n\\begin{array}{";
    for (int j = 0; j < a.cols(); ++j) out << 'r';
    out << "} \n";
    for (int i = 0; i < a.rows(); ++i) {
        for (int j = 0; j < a.cols(); ++j) {
            if (j > 0) out << "\t & ";
            out << a.at(i, j);
        }
        out << " \\\\ \n";
    }
    out << "\\end{array}\n\\right) \n";
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
