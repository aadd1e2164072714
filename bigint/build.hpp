// What the arithmetic and text code build values from: checked arrays and fresh records.
#pragma once

#include "bigint/storage.hpp"

#include <cstddef>

namespace velmora {

// n uninitialised words or characters; a failed allocation is the fatal report
// "the heap overflow". Freed with delete[].
mag_word* new_words(std::size_t n);
char* new_chars(std::size_t n);

// A checked array of n + extra words whose first n are copied from the words at from.
mag_word* copy_of_words(const mag_word* from, std::size_t n, std::size_t extra = 0);

// A fresh record with room for n >= 1 digit words, refs 1; sign, len and the digits are
// for the caller to set (or give to make_big_int). A failed allocation is the fatal report
// "the heap overflow".
big_int_rep* new_rep(std::size_t n);
// Frees a record from new_rep that never became a value.
void free_rep(big_int_rep* r);

// The value of the first len digits of r with the given sign, taking ownership of r. The
// digits may have high zero words; when none is left the value is zero, and a value of
// magnitude up to small_value_limit is that value's shared record (r is freed in both cases).
big_int make_big_int(big_int_rep* r, std::int32_t sign, std::uint32_t len);

// r as the value it holds, taking ownership: its sign and len are set, its top digit is not
// zero and the value is not a small value (make_big_int checks all of that).
big_int adopt_rep(big_int_rep* r);

// make_big_int, except that a value much shorter than r's room (a difference that lost
// many words, a gcd) moves to a record of its own size and r is freed.
big_int fitted_value(big_int_rep* r, std::int32_t sign, std::uint32_t len);

// A fresh value holding a copy of the n words at from with the given sign (high zero words
// are dropped; zero when none is left).
big_int copied_value(std::int32_t sign, const mag_word* from, std::uint32_t n);

// x in a record of its own. A task on another thread takes such a copy of every value that
// other tasks share: an operation may return a copy of an operand, and the reference it
// counts must be on a record of that thread alone.
big_int own_record(const big_int& x);

} // namespace velmora
