// How a reduction narrates its steps: the style rides on the narration stream itself,
// so that whoever owns the stream chooses it and the reductions need no parameter
// for it. A stream never given a style narrates in code page 437 frames.
#pragma once

#include "containers/framed_table.hpp"
#include "containers/latex_document.hpp"
#include "containers/latex_row_ops.hpp"
#include "containers/matrix.hpp"

#include <ios>
#include <ostream>

namespace velmora {

enum class narration_style : long {
    code_page_437 = 0,  // lines of text, tables framed in code page 437 bytes
    utf8 = 1,           // the same, framed in the UTF-8 box-drawing characters
    latex = 2,          // paragraphs and displays inside the document of latex_document.hpp
};

namespace detail {

inline int narration_style_slot() {
    static const int slot = std::ios_base::xalloc();
    return slot;
}

} // namespace detail

// The style set on s, or code_page_437.
inline narration_style narration_style_of(std::ios_base& s) {
    const long style = s.iword(detail::narration_style_slot());
    return style == long(narration_style::utf8) || style == long(narration_style::latex) ? narration_style(style)
                                                                                           : narration_style::code_page_437;
}

// Sets the style of s. The first few stream slots need no memory; should the
// library's stream have none left, s goes bad and keeps code_page_437.
inline void set_narration_style(std::ios_base& s, narration_style style) {
    s.iword(detail::narration_style_slot()) = long(style);
}

// Ends a line of narration, as std::endl would without its flush: "\n", or in LaTeX
// "\par" and "\n". The line before it must be plain text without LaTeX's special
// characters.
inline std::ostream& end_narration_line(std::ostream& out) {
    if (narration_style_of(out) == narration_style::latex) out << "\\par";
    return out << '\n';
}

// Shows left and right side by side: in one frame, or in LaTeX as one table (B beside
// Q) with the entry of left at mark boxed.
template <class T>
void narrate_tables(std::ostream& out, const matrix<T>& left, const matrix<T>& right, table_mark mark = {}) {
    switch (narration_style_of(out)) {
    case narration_style::latex: output_latex_table(out, left, right, 'B', 'Q', mark); return;
    case narration_style::utf8: output_framed_pair(out, left, right, utf8_frame); return;
    case narration_style::code_page_437: output_framed_pair(out, left, right); return;
    }
}

// True when out narrates in LaTeX, where the steps' row operations are written too.
inline bool narrates_row_operations(std::ios_base& out) { return narration_style_of(out) == narration_style::latex; }

// In LaTeX only, the tables again with the pivot at mark boxed: for a pivot already in
// place, which no exchange shows. The other styles write nothing.
template <class T>
void narrate_pivot(std::ostream& out, const matrix<T>& left, const matrix<T>& right, table_mark mark) {
    if (narration_style_of(out) == narration_style::latex) output_latex_table(out, left, right, 'B', 'Q', mark);
}

} // namespace velmora
