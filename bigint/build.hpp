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

// A value in a fresh record that takes ownership of digits. Pre: sign, digits and len are
// in normal form (zero: 0, null, 0).
big_int make_big_int(std::int32_t sign, mag_word* digits, std::uint32_t len);

} // namespace velmora
