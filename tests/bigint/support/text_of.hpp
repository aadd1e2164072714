// Test helpers: a big_int's text in a given radix and its significant words.
#pragma once

#include "bigint/big_int.hpp"

#include <sstream>
#include <string>
#include <vector>

namespace velmora {

inline std::string text_of(const big_int& x, int radix = 10) {
    std::ostringstream out;
    set_stream_base(out, radix);
    out << x;
    return out.str();
}

inline std::vector<mag_word> words_of(const big_int& x) {
    return std::vector<mag_word>(x.rep().digits, x.rep().digits + x.rep().len);
}

} // namespace velmora
