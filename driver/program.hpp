// Entry point shared by both programs: the option walk, then the run.
#pragma once

#include "driver/options.hpp"

#include <istream>
#include <ostream>

namespace velmora {

// Runs one program invocation on the given streams and returns its exit status.
inline int run_program(int argc, const char* const* argv, const tool_texts& tool,
                       std::istream& /*in*/, std::ostream& out) {
    run_flags flags;
    switch (walk_options(argc, argv, tool, flags, out)) {
    case walk_end::stop_success: return 0;
    case walk_end::stop_failure: return 1;
    case walk_end::run: break;
    }
    return 0;
}

} // namespace velmora
