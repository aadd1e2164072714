#include "fuzz_support.hpp"

#include <sstream>

namespace velmora::fuzz {

bool too_many_entries(const std::string& text, long max_entries) {
    std::istringstream in(text);
    int m = 0, n = 0;
    in >> m >> n;
    const bool accepted = m >= 0 && n >= 0 && m <= 9998 && n <= 9998;
    // The reductions also build an m-by-m transform.
    return accepted && static_cast<long>(m) * n + static_cast<long>(m) * m > max_entries;
}

} // namespace velmora::fuzz
