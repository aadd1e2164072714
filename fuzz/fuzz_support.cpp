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

bool split_run_input(const std::uint8_t* data, std::size_t size, const char* const* arguments, int count,
                     long max_entries, bool& zerkint, std::vector<const char*>& argv, std::string& input) {
    if (size < 3) return false;
    input.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    if (too_many_entries(input, max_entries)) return false;
    zerkint = (data[0] & 1) != 0;
    argv.assign(1, "prog");
    const unsigned bits = data[1] | (data[2] << 8);
    for (int k = 0; k < count; ++k)
        if (bits & (1u << k)) argv.push_back(arguments[k]);
    return true;
}

} // namespace velmora::fuzz
