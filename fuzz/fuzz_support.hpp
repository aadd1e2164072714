// What every fuzz target shares: one input runs from a clean library state, with
// standard error captured and a specified fatal report turned into an ordinary
// return instead of the process exit that libFuzzer would take for a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>

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

} // namespace velmora::fuzz

#include "fuzz_support_impl.hpp"
