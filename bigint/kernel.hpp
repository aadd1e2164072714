// The kernel under big_int: the magnitude operations of the value layer. Built on one of
// two implementations, chosen when configuring (VELMORA_KERNEL): GMP's mpn functions
// (kernel_gmp.cpp) or our own word arithmetic of mag.hpp (kernel_own.cpp). Operands are
// magnitudes as in mag.hpp (64-bit words, least significant first, explicit lengths).
// Scratch space comes from the checked allocation: running out of memory is the fatal
// report "the heap overflow", in either kernel.
#pragma once

#include "bigint/mag.hpp"

#include <cstdint>

namespace velmora {

// "gmp" or "own".
const char* kernel_name();

// out = a + b over na words. Returns the carry out of the top (0 or 1).
// Pre: na >= nb >= 1; out is a or overlaps neither a nor b.
mag_word kernel_add(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// out = a - b over na words. Returns 1 when it borrowed out of the top (b was larger),
// else 0. Pre: as kernel_add.
mag_word kernel_sub(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// out = a * b in na + nb words. Returns the top word out[na + nb - 1].
// Pre: na >= nb >= 1; out overlaps neither a nor b.
mag_word kernel_mul(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// q = a / d over n words. Returns the remainder. Pre: n >= 1, d != 0; q is a or does not
// overlap it.
mag_word kernel_div_word(mag_word* q, const mag_word* a, std::uint32_t n, mag_word d);

// Division with remainder of a (na words) by b (nb words): q gets the na - nb + 1 words of
// the quotient unless it is null, r the nb words of the remainder. a and b are unchanged.
// Returns the remainder's significant length when r is not null. Pre: na >= nb >= 2,
// a[na - 1] != 0, b[nb - 1] != 0; q and r are not both null and overlap nothing.
std::uint32_t kernel_divrem(mag_word* q, mag_word* r, const mag_word* a, std::uint32_t na, const mag_word* b,
                            std::uint32_t nb);

// q = a / b in na - nb + 1 words, for b known to divide a exactly (otherwise q is some
// value of that length). Pre: na >= nb >= 1, a[na - 1] != 0, b[nb - 1] != 0; q overlaps
// neither.
void kernel_divexact(mag_word* q, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// The greatest common divisor of a and b into out (nb words). Returns its length.
// Pre: na >= nb >= 1, a[na - 1] != 0, b[nb - 1] != 0; out overlaps neither.
std::uint32_t kernel_gcd(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// Radix groups (see radix_groups.hpp) for a power P that is not a power of two.
// kernel_from_groups: the magnitude of the n groups of g into out; returns its length (0 when
// every group is 0). Pre: out has room for n words and overlaps nothing.
std::uint32_t kernel_from_groups(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P);

// The radix digits (radix 10; the kernels take 8 and 16 too) of a (n words) as values below radix, most significant first and
// without leading zeros, into out; returns their count. Destroys a. Pre: n >= 1,
// a[n - 1] != 0; out has room for mag_digit_room(n) values (radix_groups.hpp).
std::uint32_t kernel_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix);

} // namespace velmora
