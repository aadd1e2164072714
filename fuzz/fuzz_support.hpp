// What every fuzz target shares: one input runs from a clean library state, with
// standard error captured and a specified fatal report turned into an ordinary
// return instead of the process exit that libFuzzer would take for a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora::fuzz {

struct guarded_result {
    std::string err;         // everything reported on the standard error stream
    bool fatal_report = false;
};

// Runs body() with matrix_status and the report flag reset, std::cerr captured,
// and fatal reports leaving body() instead of the process.
template <class Body>
guarded_result run_guarded(Body body);

// Stops the fuzzer with a message when a property of the result does not hold.
inline void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}

// True when the text starts with a row and a column count m and n that resize would
// accept and the m-by-n matrix with its m-by-m transform exceed max_entries: such
// inputs cost time, not coverage (the stress tests cover the largest sizes).
bool too_many_entries(const std::string& text, long max_entries);

// The input of the whole-run targets: byte 0 chooses the program (its bit 0, returned in
// zerkint), bytes 1 and 2 choose arguments (one bit per entry of the table of count
// arguments, after "prog" in argv), the rest is standard input. False for an input to
// skip: too short, or a matrix of more than max_entries entries (see too_many_entries).
bool split_run_input(const std::uint8_t* data, std::size_t size, const char* const* arguments, int count,
                     long max_entries, bool& zerkint, std::vector<const char*>& argv, std::string& input);

} // namespace velmora::fuzz

#include "fuzz_support_impl.hpp"
