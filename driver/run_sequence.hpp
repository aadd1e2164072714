// The run of both programs after the option walk: read A, reduce it once
// between two clock readings, and print the requested results.
#pragma once

#include "containers/matrix.hpp"
#include "containers/narration.hpp"
#include "containers/text.hpp"
#include "diag/checked_text.hpp"
#include "diag/report.hpp"
#include "driver/options.hpp"
#include "driver/latex_results.hpp"
#include "driver/result_text.hpp"
#include "engine/multimodular.hpp"

#include <ctime>
#include <istream>
#include <ostream>

namespace velmora {

// A reduction: (A, B, Q, basis, det, movie, narration stream).
template <class Element, class Det>
using reduction = void (*)(const matrix<Element>&, matrix<Element>&, matrix<Element>&,
                           vector<int>&, Det&, int, std::ostream&);

// A faster path to the same results: (A, B, Q, basis, det, the results to print). It
// returns false, having changed nothing and reported nothing, for the inputs it leaves to
// the reduction.
template <class Element, class Det>
using fast_reduction = bool (*)(const matrix<Element>&, matrix<Element>&, matrix<Element>&, vector<int>&, Det&,
                        const engine_request&);

// Seconds from t0 to t1 in whole seconds; 0 when the clock went back meanwhile.
inline unsigned long elapsed_seconds(std::time_t t0, std::time_t t1) {
    return t1 > t0 ? static_cast<unsigned long>(t1 - t0) : 0UL;
}

// Reads A from in, reduces it when the results or the reports need it (by fast when it
// is not null and takes A, else by reduce) and writes the results that flags ask for to
// out, in the fixed order A, B, Q, rank, det, basis, time: bare when exactly one is
// asked for and labels are not forced, else each under its label line; with
// flags.latex the narration and the results make one LaTeX document (a fragment with
// flags.fragment), which shows the library's reports in boxes as well. Returns
// the exit status: 1 when the library reported anything during the run or the
// output could not be written, else 0.
template <class Element, class Det>
int run_sequence(const run_flags& flags, reduction<Element, Det> reduce,
                 fast_reduction<Element, Det> fast, std::istream& in, std::ostream& out) {
    // The document holds the reports made before it begins (those of the input) and during
    // the reduction, to show them in its own places.
    checked_text held_reports;
    if (flags.latex) copy_reports_to(&held_reports);
    matrix<Element> A;
    in >> A;
    matrix<Element> B, Q;
    vector<int> basis;
    Det det;

    // The movie's frames or LaTeX are set on the stream that the reduction narrates on,
    // for the reduction alone; without the options the stream is left as it is.
    const narration_style style_before = narration_style_of(out);
    if (flags.latex) {
        begin_latex_document(out, flags.fragment != 0);
        write_latex_reports(out, held_reports.text());
        held_reports.restart();
        set_narration_style(out, narration_style::latex);
    } else if (flags.utf8) {
        set_narration_style(out, narration_style::utf8);
    }

    const std::time_t t0 = std::time(nullptr);
    // The movie narrates the steps of reduce, and after an input error reduce's own
    // preparation makes the reports; the engine's results are those of reduce. Otherwise
    // a run that prints none of them (A alone, the time alone) reduces nothing.
    const engine_request request{flags.b != 0, flags.q != 0, flags.rank != 0, flags.det != 0, flags.basis != 0};
    const bool narrated = flags.movie || matrix_status != 1;
    const bool computed = request.b || request.q || request.rank || request.det || request.basis;
    if (narrated || (computed && (fast == nullptr || !fast(A, B, Q, basis, det, request))))
        reduce(A, B, Q, basis, det, flags.movie, out);
    const std::time_t t1 = std::time(nullptr);
    if (flags.latex || flags.utf8) set_narration_style(out, style_before);

    const bool labelled = flags.output_count() != 1 || flags.labels;
    const run_results<Element, Det> results{A, B, Q, basis, det, elapsed_seconds(t0, t1)};
    if (flags.latex) {
        write_latex_reports(out, held_reports.text());
        copy_reports_to(nullptr);
        write_latex_results(out, flags, results);
        end_latex_document(out, flags.fragment != 0);
    } else {
        plain_result_writer writer(out, labelled);
        write_results(writer, flags, results);
    }
    // Output that never reached its destination is a failure, reported or not.
    out.flush();
    return report_written() || !out ? 1 : 0;
}

} // namespace velmora
