// Template part of fuzz_support.hpp.
#pragma once

#include "diag/testing.hpp"

#include <iostream>
#include <sstream>

namespace velmora::fuzz {

struct fatal_report_exit {};

[[noreturn]] inline void throw_fatal_report_exit() { throw fatal_report_exit{}; }

template <class Body>
guarded_result run_guarded(Body body) {
    guarded_result result;
    reset_diagnostics();
    set_fatal_handler(throw_fatal_report_exit);
    std::ostringstream err;
    std::streambuf* const saved = std::cerr.rdbuf(err.rdbuf());
    try {
        body();
    } catch (const fatal_report_exit&) {
        result.fatal_report = true;
    }
    std::cerr.rdbuf(saved);
    set_fatal_handler(nullptr);
    result.err = err.str();
    return result;
}

} // namespace velmora::fuzz
