// A complete LaTeX document around the library's LaTeX forms, for pdflatex: matrices
// are displays, scaled down to fit the line and the page, and numbers may break across
// lines after any character.
#pragma once

#include "containers/latex_text.hpp"
#include "containers/matrix.hpp"
#include "containers/plain_text.hpp"

#include <ostream>

namespace velmora {

// Writes the preamble, up to and including "\begin{document}". It defines the
// environment fitdisplay, whose body is set in display math, scaled down to the line
// width when it is wider and to 0.8 of the page's text height when it is taller, and
// \breakable{text}, which lets a line break after any character of text (text without
// braces or control sequences, such as a number).
inline void begin_latex_document(std::ostream& out) {
    out << "\\documentclass{article}\n"
           "\\usepackage{graphicx}\n"
           "\\raggedright\n"
           "\\newsavebox{\\fitbox}\n"
           "\\newenvironment{fitdisplay}{\\begin{lrbox}{\\fitbox}$\\displaystyle}{$\\end{lrbox}%\n"
           "  \\ifdim\\wd\\fitbox>\\linewidth\\sbox{\\fitbox}{\\resizebox{\\linewidth}{!}{\\usebox{\\fitbox}}}\\fi%\n"
           "  \\ifdim\\dimexpr\\ht\\fitbox+\\dp\\fitbox\\relax>0.8\\textheight%\n"
           "    \\sbox{\\fitbox}{\\resizebox*{!}{0.8\\textheight}{\\usebox{\\fitbox}}}\\fi%\n"
           "  \\[\\usebox{\\fitbox}\\]}\n"
           "\\newcommand{\\breakable}[1]{\\breakablenext#1\\relax}\n"
           "\\newcommand{\\breakablenext}[1]{\\ifx\\relax#1\\else#1\\allowbreak\\expandafter\\breakablenext\\fi}\n"
           "\\begin{document}\n";
}

inline void end_latex_document(std::ostream& out) { out << "\\end{document}\n"; }

namespace detail {

// An array needs a column: what has none shows as empty parentheses with its size.
inline void latex_empty_matrix(std::ostream& out, int rows, int cols) {
    out << "\\left(\\;\\right)_{";
    write_count(out, rows);
    out << " \\times ";
    write_count(out, cols);
    out << "}\n";
}

} // namespace detail

// a in a fitdisplay, in the library's LaTeX form (empty parentheses with its size
// when it has no columns).
template <class T>
void output_latex_display(std::ostream& out, const matrix<T>& a) {
    out << "\\begin{fitdisplay}\n";
    if (a.cols() == 0) detail::latex_empty_matrix(out, a.rows(), 0);
    else output_latex(out, a);
    out << "\\end{fitdisplay}\n";
}

// left and right side by side in a fitdisplay, as one array with a vertical rule
// between them (empty parentheses with the size of left when neither has a column).
template <class T>
void output_latex_display(std::ostream& out, const matrix<T>& left, const matrix<T>& right) {
    out << "\\begin{fitdisplay}\n";
    if (left.cols() + right.cols() == 0) detail::latex_empty_matrix(out, left.rows(), 0);
    else output_latex_pair(out, left, right);
    out << "\\end{fitdisplay}\n";
}

} // namespace velmora
