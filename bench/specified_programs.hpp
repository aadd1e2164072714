// The two programs with the engine switched off, so that a benchmark can run the
// specified reductions on the same input beside the programs themselves.
#pragma once

#include "driver/program.hpp"
#include "driver/tools.hpp"

namespace velmora {

struct zerk_specified_tool : zerk_tool {
    static constexpr full_rank_engine<element, det_type> engine = nullptr;
};

struct zerkint_specified_tool : zerkint_tool {
    static constexpr full_rank_engine<element, det_type> engine = nullptr;
};

} // namespace velmora
