// Entry point shared by both programs: the option walk, then the run.
#pragma once

#include "driver/options.hpp"
#include "driver/run_sequence.hpp"

#include <istream>
#include <ostream>

namespace velmora {

// Runs one invocation of the program Tool on the given streams and returns its
// exit status. Reports go to the standard error stream.
template <class Tool>
int run_program(int argc, const char* const* argv, std::istream& in, std::ostream& out) {
    run_flags flags;
    switch (walk_options(argc, argv, Tool::texts(), flags, out)) {
    case walk_end::stop_success: return 0;
    case walk_end::stop_failure: return 1;
    case walk_end::run: break;
    }
    return run_sequence<typename Tool::element, typename Tool::det_type>(flags, Tool::reduce, Tool::engine, in,
                                                                             out);
}

} // namespace velmora
