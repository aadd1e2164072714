#include "diag/report.hpp"
#include "diag/testing.hpp"

#include <cstdlib>
#include <iostream>

namespace velmora {

int matrix_status = 1;

namespace {

bool any_report = false;

// std::cerr is unit-buffered and tied to std::cout: every write flushes
// standard output first and reaches the console at once.
void write_report(const char* prefix, const char* message) {
    any_report = true;
    std::cerr << prefix << message << '\n';
}

void record_status(int code) {
    if (matrix_status == 1) matrix_status = code;
}

} // namespace

bool report_written() { return any_report; }

void reset_diagnostics() {
    matrix_status = 1;
    any_report = false;
}

void matrix_error(int code, const char* message) {
    record_status(code);
    write_report("matrix error: ", message);
}

void matrix_fatal_error(int code, const char* message) {
    record_status(code);
    write_report("matrix fatal error: ", message);
    std::exit(1);
}

void rational_warning(const char* message) { write_report("Rationals Warning: ", message); }
void rational_error(const char* message) { write_report("Rationals Error: ", message); }

void rational_fatal_error(const char* message) {
    write_report("Rationals Fatal Error: \n ", message);
    std::exit(1);
}

void big_arith_warning(const char* message) { write_report("Big arith warning: ", message); }
void big_arith_error(const char* message) { write_report("Big arith error: ", message); }

void big_arith_fatal_error(const char* message) {
    write_report("Big arith fatal error: \n ", message);
    std::exit(1);
}

} // namespace velmora
