// The radix conversions of the text layer: a magnitude to its digits and groups of digits
// to a magnitude. Powers of two take the bits apart directly; other radixes go to the
// kernel (kernel.hpp), which converts by groups (radix_groups.hpp).
#pragma once

#include "bigint/mag.hpp"
#include "bigint/radix_groups.hpp"

#include <cstdint>

namespace velmora {

// The radix digits of a (n words) as values below radix, most significant first and without
// leading zeros, written to out. Returns their count. Destroys a. Pre: n >= 1, a[n - 1] != 0,
// radix is 8, 10 or 16; out has room for mag_digit_room(n) values. A power of two radix
// takes the bits apart directly; 10 goes to the kernel.
std::uint32_t mag_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix);

// Builds in out the magnitude of the n groups of g (each below P). Returns its length in
// words, 0 when every group is 0. Pre: out has room for n words and does not overlap g.
std::uint32_t groups_to_mag(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P);

} // namespace velmora
