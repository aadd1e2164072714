// Exchange of values with code that does its own word arithmetic (such as modular
// methods): a sign and a magnitude as 32-bit or as 64-bit words, least significant first.
#pragma once

#include "bigint/storage.hpp"

#include <cstddef>
#include <cstdint>

namespace velmora {

// -1, 0 or +1.
int sign_of(const big_int& x);

// Number of 32-bit words of |x|'s magnitude without high zero words; 0 for zero.
std::size_t magnitude_word_count(const big_int& x);

// Writes |x|'s magnitude_word_count(x) words to out, least significant first.
void copy_magnitude_words(const big_int& x, std::uint32_t* out);

// The value sign * (words[0] + words[1] * 2^32 + ...). High zero words are allowed and
// dropped; sign is ignored when the magnitude is zero. An allocation failure is the fatal
// report "the heap overflow".
big_int big_int_from_words(int sign, const std::uint32_t* words, std::size_t n);

// The same for 64-bit words (mag_word, the words of the primitives in mag.hpp).
// Number of 64-bit words of |x|'s magnitude without high zero words; 0 for zero.
std::size_t magnitude_word64_count(const big_int& x);
// Writes |x|'s magnitude_word64_count(x) words to out, least significant first.
void copy_magnitude_words64(const big_int& x, std::uint64_t* out);
// The value sign * (words[0] + words[1] * 2^64 + ...), normalised as big_int_from_words.
big_int big_int_from_words64(int sign, const std::uint64_t* words, std::size_t n);

// The value of one word, w >= 0.
big_int big_int_from_word(std::uint64_t w);

// Bits of |x|; 0 for zero.
long bit_length(const big_int& x);

} // namespace velmora
