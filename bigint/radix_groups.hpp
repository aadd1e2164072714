// Conversion between a magnitude and groups of radix digits. A group is a word below the
// group power P of the radix (see group_size), least significant group first.
#pragma once

#include "bigint/mag.hpp"

#include <cstddef>

namespace velmora {

// The radix digits of a (n words) as values below radix, most significant first and without
// leading zeros, written to out. Returns their count. Destroys a. Pre: n >= 1, a[n - 1] != 0,
// radix is 8, 10 or 16; out has room for mag_digit_room(n) values. A power of two radix
// takes the bits apart directly; 10 goes to the kernel.
std::uint32_t mag_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix);
constexpr std::size_t mag_digit_room(std::uint32_t n) { return 22 * std::size_t(n) + 1; }

// The digits of the count groups of g (each below radix^k, least significant first), as
// mag_to_digits writes them. Returns their count. Pre: g[count - 1] != 0.
std::uint32_t groups_to_digits(const mag_word* g, std::uint32_t count, int radix, int k, unsigned char* out);

// Builds in out the magnitude of the n groups of g (each below P). Returns its length in
// words, 0 when every group is 0. Pre: out has room for n words and does not overlap g.
std::uint32_t groups_to_mag(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P);

// The same by one pass over the words per group: quadratic, the reference for the faster
// methods and their base case.
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
