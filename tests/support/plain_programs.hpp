// The two programs with the engine switched off: the row-by-row reductions alone, for
// the tests and the fuzz target that hold the programs to them and for the benchmarks
// that time them beside the programs. It needs only the library and the driver, so the
// fuzz targets and the benchmarks include it from here as well.
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
