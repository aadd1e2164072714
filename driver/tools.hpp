// What makes each program: its texts, its element and det types, its reduction and
// the engine that takes over from it at every rank and shape (except matrices without
// rows or columns, with a zero denominator, or of at most two rows or columns of long
// entries). The movie, and a run after an input error, always take the reduction, whose
// steps and reports are the output.
#pragma once

#include "bigint/big_int.hpp"
#include "driver/tool_texts.hpp"
#include "rational/rational.hpp"
#include "reduce/reduced_echelon.hpp"
#include "engine/multimodular.hpp"
#include "reduce/reduced_echelon_int.hpp"

namespace velmora {

struct zerk_tool {
    using element = rational<big_int>;
    using det_type = rational<big_int>;
    static constexpr auto reduce = &reduced_echelon;
    static constexpr auto engine = &multimodular_echelon;
    static const tool_texts& texts() { return zerk_texts; }
};

struct zerkint_tool {
    using element = big_int;
    using det_type = big_int;
    static constexpr auto reduce = &reduced_echelon_int;
    static constexpr auto engine = &multimodular_echelon_int;
    static const tool_texts& texts() { return zerkint_texts; }
};

} // namespace velmora
