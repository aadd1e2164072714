// The LaTeX document of the narration and the results, for pdflatex: a complete
// document, or a fragment without preamble for \input into a document of one's own. Its
// tables are those of latex_table.hpp; it needs the package amsmath and nothing else.
#pragma once

#include "containers/latex_table.hpp"

#include <ostream>
#include <string_view>

namespace velmora {

// Writes the start of the document: the preamble up to and including "\begin{document}",
// or for a fragment the comment lines that name what it needs. Both then define
// \breakable{text}, which lets a line break after any character of text (text without
// braces or control sequences, such as a number), and open a group set ragged right,
// which end_latex_document closes.
inline void begin_latex_document(std::ostream& out, bool fragment) {
    if (fragment)
        out << "% A fragment of LaTeX written by Velmora, for \\input into a document of your own.\n"
               "% It needs the package amsmath: \\usepackage{amsmath} in the preamble.\n"
               "% Its tables are set at \\footnotesize and split for a line at least 345pt wide.\n";
    else
        out << "\\documentclass{article}\n"
               "\\usepackage{amsmath}\n"
               "\\begin{document}\n";
    out << "\\providecommand{\\breakable}[1]{\\breakablenext#1\\relax}\n"
           "\\providecommand{\\breakablenext}[1]{\\ifx\\relax#1\\else#1\\allowbreak\\expandafter\\breakablenext\\fi}\n"
           "\\begingroup\\raggedright\n";
}

inline void end_latex_document(std::ostream& out, bool fragment) {
    out << "\\par\\endgroup\n";
    if (!fragment) out << "\\end{document}\n";
}

namespace detail {

// text in LaTeX's text mode, its special characters as the characters themselves.
inline void write_latex_escaped(std::ostream& out, std::string_view text) {
    for (const char ch : text) {
        switch (ch) {
        case '\\': out << "\\textbackslash{}"; break;
        case '{': case '}': case '$': case '&': case '#': case '_': case '%': out << '\\' << ch; break;
        case '^': out << "\\^{}"; break;
        case '~': out << "\\~{}"; break;
        case '<': case '>': case '|': out << '$' << ch << '$'; break;
        case '\n': out << "\\par\n"; break;
        default: out << ch;
        }
    }
}

} // namespace detail

// The library's reports in text, one a line, in a framed box under a heading that says
// they went to standard error too. Nothing when text is empty.
inline void write_latex_reports(std::ostream& out, std::string_view text) {
    if (text.empty()) return;
    out << "\\par\\medskip\\noindent\\fbox{\\parbox{\\dimexpr\\linewidth-2\\fboxsep-2\\fboxrule\\relax}{"
           "\\raggedright\\textbf{Reports of the library} (also written to standard error):\\par\n"
           "\\ttfamily ";
    detail::write_latex_escaped(out, text);
    out << "}}\\par\\medskip\n";
}

} // namespace velmora
