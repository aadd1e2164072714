#include "diag/report.hpp"
#include "diag/deferred_fatal.hpp"
#include "diag/testing.hpp"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>

namespace velmora {

int matrix_status = 1;
thread_local bool defer_fatal_reports = false;

namespace {

bool any_report = false;
fatal_handler on_fatal = nullptr;
std::ostream* report_copy = nullptr;

const char big_arith_fatal_prefix[] = "Big arith fatal error: \n ";

// std::cerr is unit-buffered and tied to std::cout: every write flushes
// standard output first and reaches the console at once.
void write_report(const char* prefix, const char* message) {
    any_report = true;
    std::cerr << prefix << message << '\n';
    // The copy is set aside while it is written: should its growth fail, the fatal report
    // that follows goes to standard error alone.
    if (std::ostream* copy = report_copy) {
        report_copy = nullptr;
        *copy << prefix << message << '\n';
        report_copy = copy;
    }
}

void record_status(int code) {
    if (matrix_status == 1) matrix_status = code;
}

// The end of every fatal report: the process exits with status 1, which flushes
// the standard streams. A handler set by a fuzz target may leave by other means.
[[noreturn]] void end_after_fatal_report() {
    if (on_fatal) on_fatal();
    std::exit(1);
}

} // namespace

bool report_written() { return any_report; }

void copy_reports_to(std::ostream* copy) { report_copy = copy; }

void reset_diagnostics() {
    matrix_status = 1;
    any_report = false;
}

void set_fatal_handler(fatal_handler handler) { on_fatal = handler; }

void matrix_error(int code, const char* message) {
    record_status(code);
    write_report("matrix error: ", message);
}

void matrix_fatal_error(int code, const char* message) {
    if (defer_fatal_reports) throw deferred_fatal{fatal_group::matrix, code, message};
    record_status(code);
    write_report("matrix fatal error: ", message);
    end_after_fatal_report();
}

void rational_warning(const char* message) { write_report("Rationals Warning: ", message); }
void rational_error(const char* message) { write_report("Rationals Error: ", message); }

void rational_fatal_error(const char* message) {
    if (defer_fatal_reports) throw deferred_fatal{fatal_group::rational, 0, message};
    write_report("Rationals Fatal Error: \n ", message);
    end_after_fatal_report();
}

void big_arith_warning(const char* message) { write_report("Big arith warning: ", message); }
void big_arith_error(const char* message) { write_report("Big arith error: ", message); }

void big_arith_fatal_error(const char* message) {
    if (defer_fatal_reports) throw deferred_fatal{fatal_group::big_arith, 0, message};
    write_report(big_arith_fatal_prefix, message);
    end_after_fatal_report();
}

const char heap_overflow_message[] = "the heap overflow";

void heap_overflow() { big_arith_fatal_error(heap_overflow_message); }

void heap_overflow_through_stdio() {
    any_report = true;
    std::fputs(big_arith_fatal_prefix, stderr);
    std::fputs(heap_overflow_message, stderr);
    std::fputc('\n', stderr);
    std::fflush(nullptr);
    std::_Exit(1);
}

void big_arith_fatal_error_in_place(const char* message) {
    if (!defer_fatal_reports) big_arith_fatal_error(message);
    static std::mutex one_report;
    one_report.lock();  // never unlocked: the first thread to get here ends the process
    write_report(big_arith_fatal_prefix, message);
    std::cout.flush();
    std::fflush(nullptr);
    std::_Exit(1);
}

void make_deferred_report(const deferred_fatal& report) {
    defer_fatal_reports = false;
    switch (report.group) {
    case fatal_group::matrix: matrix_fatal_error(report.code, report.message);
    case fatal_group::rational: rational_fatal_error(report.message);
    case fatal_group::big_arith: break;
    }
    big_arith_fatal_error(report.message);
}

} // namespace velmora
