// The results of a run as text: in the fixed order A, B, Q, rank, det, basis, time,
// each bare or under its label, as plain text (latex_results.hpp has the LaTeX form).
#pragma once

#include "containers/matrix.hpp"
#include "containers/plain_text.hpp"
#include "driver/options.hpp"

#include <ostream>

namespace velmora {

// The results of one run, in their printing order.
enum class result { a, b, q, rank, det, basis, time };

// What one run computed.
template <class Element, class Det>
struct run_results {
    const matrix<Element>& A;
    const matrix<Element>& B;
    const matrix<Element>& Q;
    const vector<int>& basis;
    const Det& det;
    unsigned long seconds;
};

// Writes the results that flags asks for with writer, in the fixed order.
template <class Writer, class Element, class Det>
void write_results(Writer& writer, const run_flags& flags, const run_results<Element, Det>& r) {
    if (flags.a) writer.matrix(result::a, r.A);
    if (flags.b) writer.matrix(result::b, r.B);
    if (flags.q) writer.matrix(result::q, r.Q);
    if (flags.rank) writer.value(result::rank, r.basis.size());
    if (flags.det) writer.value(result::det, r.det);
    if (flags.basis) writer.indices(result::basis, r.basis);
    if (flags.time) writer.value(result::time, r.seconds);
}

// Each result in its plain form, after its label line when labelled: a matrix or
// the basis as the plain output operators write them (the basis followed by an
// empty line), a value alone on its line.
class plain_result_writer {
public:
    plain_result_writer(std::ostream& out, bool labelled) : out_(out), labelled_(labelled) {}

    template <class T>
    void matrix(result r, const velmora::matrix<T>& m) {
        label(r);
        out_ << m;
    }
    template <class V>
    void value(result r, const V& v) {
        label(r);
        out_ << v << '\n';
    }
    void indices(result r, const vector<int>& v) {
        label(r);
        out_ << v << '\n';
    }

private:
    void label(result r) {
        static constexpr const char* labels[] = {"!a:\n",    "!b:\n",     "!q:\n",
                                                 "!rank =\n", "!det =\n", "!basis:\n",
                                                 "!Time (seconds) =\n"};
        if (labelled_) out_ << labels[static_cast<int>(r)];
    }

    std::ostream& out_;
    bool labelled_;
};

} // namespace velmora
