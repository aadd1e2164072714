// Entry point shared by both programs: the option walk, then the run.
#pragma once

#include "diag/report.hpp"
#include "driver/options.hpp"
#include "driver/run_sequence.hpp"

#include <istream>
#include <new>
#include <ostream>

namespace velmora {

namespace detail {

template <class Tool>
int run_program_unguarded(int argc, const char* const* argv, std::istream& in, std::ostream& out) {
    run_flags flags;
    switch (walk_options(argc, argv, Tool::texts(), flags, out)) {
    case walk_end::stop_success: return 0;
    case walk_end::stop_failure: return 1;
    case walk_end::run: break;
    }
    return run_sequence<typename Tool::element, typename Tool::det_type>(flags, Tool::reduce, Tool::engine, in,
                                                                             out);
}

} // namespace detail

// Runs one invocation of the program Tool on the given streams and returns its
// exit status. Reports go to the standard error stream. The library builds its values
// and texts in checked memory, where running out is the fatal report; this turns a failed allocation of the standard library itself, should one
// ever escape, into the same report rather than an abort.
template <class Tool>
int run_program(int argc, const char* const* argv, std::istream& in, std::ostream& out) {
    try {
        return detail::run_program_unguarded<Tool>(argc, argv, in, out);
    } catch (const std::bad_alloc&) {
        heap_overflow();
    }
}

} // namespace velmora
