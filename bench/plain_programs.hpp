// The two programs with the engine switched off, so that a benchmark can run the
// reductions alone on the same input beside the programs themselves.
#pragma once

#include "driver/program.hpp"
#include "driver/tools.hpp"

namespace velmora {

struct zerk_plain_tool : zerk_tool {
    static constexpr fast_reduction<element, det_type> engine = nullptr;
};

struct zerkint_plain_tool : zerkint_tool {
    static constexpr fast_reduction<element, det_type> engine = nullptr;
};

} // namespace velmora
