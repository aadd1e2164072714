// Test helpers: a big_int's text in a given radix and its significant 32-bit words.
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

// The magnitude as 32-bit words, least significant first.
inline std::vector<std::uint32_t> words_of(const big_int& x) {
    std::vector<std::uint32_t> w(magnitude_word_count(x));
    copy_magnitude_words(x, w.data());
    return w;
}

} // namespace velmora
