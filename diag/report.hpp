// Library-wide failure reporting: three groups (vectors and matrices, rationals,
// big integers), each with warning, error and fatal-error reporters.
#pragma once

#include <iosfwd>

namespace velmora {

// Code of the first vector or matrix error, or 1 while none has been reported.
// Only matrix_error and matrix_fatal_error change it, and only while it is 1.
extern int matrix_status;

// True once any reporter below has written a report (of any severity).
bool report_written();

// While copy is not null, every report is written to it as well, the same bytes as to
// standard error, for a document that shows the reports in its own place. A fatal report
// is copied too, though the process then ends.
void copy_reports_to(std::ostream* copy);

// Each reporter writes its prefix, the message unchanged and a newline to the
// standard error stream, which flushes standard output first. The fatal ones
// then end the process with status 1 through std::exit, so buffered standard
// output still reaches its destination.
void matrix_error(int code, const char* message);                   // "matrix error: "
[[noreturn]] void matrix_fatal_error(int code, const char* message); // "matrix fatal error: "
void rational_warning(const char* message);                          // "Rationals Warning: "
void rational_error(const char* message);                            // "Rationals Error: "
[[noreturn]] void rational_fatal_error(const char* message);         // "Rationals Fatal Error: \n "
void big_arith_warning(const char* message);                         // "Big arith warning: "
void big_arith_error(const char* message);                           // "Big arith error: "
[[noreturn]] void big_arith_fatal_error(const char* message);        // "Big arith fatal error: \n "

// The message of every failed allocation.
extern const char heap_overflow_message[];  // "the heap overflow"

// The fatal report of a failed allocation: big_arith_fatal_error(heap_overflow_message).
[[noreturn]] void heap_overflow();

// The same report for a failure while the standard C++ streams are being set up, when
// std::cerr may be left without a working buffer: written through C's standard error
// (unbuffered, so the write itself needs no memory), then status 1 at once, without the
// destructors of static objects that would flush the half-built streams.
[[noreturn]] void heap_overflow_through_stdio();

} // namespace velmora
