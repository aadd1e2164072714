// Conversion between a magnitude and groups of radix digits. A group is a word below the
// group power P of the radix (see group_size), least significant group first.
#pragma once

#include "bigint/mag.hpp"

#include <cstddef>

namespace velmora {

// For radix b (>= 2), sets k to the number of radix digits held by one group and P to b^k,
// the largest power such that a group always fits a word: 10 gives 10^19 and 19, 16 gives
// 16^15 and 15, 8 gives 8^21 and 21.
void group_size(int b, mag_word& P, int& k);

// Room for the radix digits of n words and one more: 22 n + 1 (64 bits take at most 22
// octal digits).
constexpr std::size_t mag_digit_room(std::uint32_t n) { return 22 * std::size_t(n) + 1; }

// The digits of the count groups of g (each below radix^k, least significant first), as
// mag_to_digits writes them. Returns their count. Pre: g[count - 1] != 0.
std::uint32_t groups_to_digits(const mag_word* g, std::uint32_t count, int radix, int k, unsigned char* out);

// The groups of a (n words, destroyed) into out, least significant first, and the
// magnitude of the n groups of g: by one pass over the words per group, quadratic, the
// reference for the faster methods and their base case.
std::uint32_t mag_to_groups_by_words(mag_word* a, mag_word* out, std::uint32_t n, mag_word P);
std::uint32_t groups_to_mag_by_words(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P);

// The same by divide and conquer on the powers P^(2^i), over Karatsuba's products and
// division by recursion on halves: a small multiple of one product of the whole length.
// Allocates its work arrays (running out of memory is the fatal report "the heap overflow").
std::uint32_t mag_to_groups_by_powers(mag_word* a, mag_word* out, std::uint32_t n, mag_word P);
std::uint32_t groups_to_mag_by_powers(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P);

// Magnitudes of fewer words (groups) than these are split (joined) by words in
// mag_to_groups_by_powers (groups_to_mag_by_powers). Measured on decimal groups: splitting
// 100 words by words from 120 on takes twice the time; joining is within 5% from 30 to 120.
constexpr std::uint32_t mag_radix_split_threshold = 30;
constexpr std::uint32_t mag_radix_join_threshold = 60;

// The radix b and digit count k with P = b^k for the least such b (10 and 19 for 10^19).
// Pre: P >= 2.
void radix_of_power(mag_word P, int& b, int& k);

} // namespace velmora
