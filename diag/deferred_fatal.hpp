// Fatal reports made on a worker thread of a parallel region are not written there: the
// worker throws this record instead, the region stops, and the calling thread makes the
// report, so that it is written once, after the output written so far, and ends the
// process as it does without threads.
#pragma once

namespace velmora {

enum class fatal_group { matrix, rational, big_arith };

struct deferred_fatal {
    fatal_group group;
    int code;             // the matrix group's code
    const char* message;  // a text with static storage
};

// Set on every thread while it runs calls of a parallel region.
extern thread_local bool defer_fatal_reports;

// Makes the fatal report that was deferred: writes it and ends the process.
[[noreturn]] void make_deferred_report(const deferred_fatal& report);

// big_arith_fatal_error for code that nothing may unwind through, such as the memory
// functions that GMP calls: on a worker thread the report is made where it stands (once,
// whatever the threads), standard output is flushed and the process ends with status 1
// without unwinding; elsewhere it is the plain report.
[[noreturn]] void big_arith_fatal_error_in_place(const char* message);

} // namespace velmora
