// The results of a run as the closing part of the LaTeX document: each under a heading,
// the matrices as tables, the rank, det and time in math, the basis as the set of pivot
// columns, and det followed by what it is for the program and the shape of A.
#pragma once

#include "bigint/big_int.hpp"
#include "containers/latex_document.hpp"
#include "containers/latex_row_ops.hpp"
#include "containers/matrix.hpp"
#include "containers/plain_text.hpp"
#include "driver/result_text.hpp"
#include "rational/rational.hpp"

#include <ostream>

namespace velmora {

namespace detail {

// A heading of the results, as a bold line of its own (no sectioning command, so that a
// fragment suits slides and exam sheets as well as notes).
inline void latex_heading(std::ostream& out, const char* heading) {
    out << "\\par\\medskip\\noindent\\textbf{" << heading << "}\\par\n";
}

// " 3-by-4", in math.
inline void write_shape(std::ostream& out, int rows, int cols) {
    out << '$';
    write_count(out, rows);
    out << "$-by-$";
    write_count(out, cols);
    out << '$';
}

// A value in inline math: an integer that may break after any digit, a fraction as \dfrac
// (as text n/d when either part is too long for a line, so that it may break).
inline void write_latex_value(std::ostream& out, const big_int& x) { out << "\\breakable{" << x << '}'; }

inline void write_latex_value(std::ostream& out, const rational<big_int>& x) {
    latex_entry e;
    e.set(x);
    const std::size_t long_part = 60;
    if (!e.fraction()) {
        out << "\\breakable{" << x.numerator << '}';
        return;
    }
    if (e.numerator().size() <= long_part && e.denominator().size() <= long_part)
        out << (e.negative() ? "-" : "") << "\\dfrac{" << e.numerator() << "}{" << e.denominator() << '}';
    else
        out << "\\breakable{" << x << '}';
}

inline void write_latex_value(std::ostream& out, unsigned long x) { out << "\\breakable{" << x << '}'; }

// What det is for zerk (a rational det) on an m-by-n A, in the words of its manual page.
inline void write_det_meaning(std::ostream& out, const rational<big_int>&, int m, int n, int) {
    if (m == 0 || n == 0) {
        out << "It is 1 for a matrix with no rows or no columns.";
        return;
    }
    out << "The product of the pivots, with the sign of the row exchanges, or 0 as soon as a column "
           "without a pivot is met. ";
    if (m == n) {
        out << "$A$ is square, so this is the determinant of $A$.";
    } else if (m < n) {
        out << "$A$ has no more rows than columns, so this is the determinant of its leading ";
        write_shape(out, m, m);
        out << " submatrix (the upper left corner minor of the largest size).";
    } else {
        out << "$A$ has more rows than columns, so the pivots may come from any rows, and the value "
               "need not be a minor of $A$.";
    }
}

// What det is for zerkint (an integer det), in the words of its manual page.
inline void write_det_meaning(std::ostream& out, const big_int&, int m, int n, int rank) {
    if (m == 0) {
        out << "It is 1 for a matrix with no rows.";
    } else if (rank < m) {
        out << "The rank is below the row count " << m << ", so it is 0.";
    } else if (m == n) {
        out << "$A$ is square and of full rank, so this is the determinant of $A$.";
    } else {
        out << "Every row of $A$ gets a pivot (the rank equals the row count " << m
            << "), so this is the determinant of the ";
        write_shape(out, m, m);
        out << " submatrix of $A$ formed by the basis columns.";
    }
}

} // namespace detail

// Writes the results that flags asks for under the heading "Results", in the fixed order.
template <class Element, class Det>
void write_latex_results(std::ostream& out, const run_flags& flags, const run_results<Element, Det>& r) {
    detail::latex_heading(out, "Results");
    if (flags.a) {
        detail::latex_heading(out, "The matrix $A$");
        output_latex_table(out, r.A, 'A');
    }
    if (flags.b) {
        detail::latex_heading(out, "The reduced row echelon form $B$");
        output_latex_table(out, r.B, 'B');
    }
    if (flags.q) {
        detail::latex_heading(out, "The matrix $Q$, with $B = Q A$");
        output_latex_table(out, r.Q, 'Q');
    }
    if (flags.rank) {
        detail::latex_heading(out, "Rank");
        out << "$\\operatorname{rank} A = \\operatorname{rank} B = " << r.basis.size() << "$\\par\n";
    }
    if (flags.det) {
        detail::latex_heading(out, "Determinant value");
        out << "$\\det = ";
        detail::write_latex_value(out, r.det);
        out << "$\\par\n";
        out << "\\emph{";
        detail::write_det_meaning(out, r.det, r.A.rows(), r.A.cols(), r.basis.size());
        out << "}\\par\n";
    }
    if (flags.basis) {
        detail::latex_heading(out, "Basis (the pivot columns of $B$)");
        out << "$\\{";
        for (int k = 0; k < r.basis.size(); ++k) out << (k > 0 ? ",\\allowbreak " : "") << r.basis[k];
        out << "\\}$\\par\n";
    }
    if (flags.time) {
        detail::latex_heading(out, "Time (seconds)");
        out << '$';
        detail::write_latex_value(out, r.seconds);
        out << "$\\par\n";
    }
}

} // namespace velmora
