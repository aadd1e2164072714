// Word-array primitives on magnitudes: arrays of 64-bit words, least significant
// first, with explicit lengths. They allocate nothing, know nothing of signs and
// never trim high zero words; the value layer above them does all of that.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

using mag_word = std::uint64_t;
// Twice a word: holds any product of two words plus two more words.
__extension__ typedef unsigned __int128 mag_dword;

constexpr int mag_word_bits = 64;

// The quotient of the two-word value (high, low) by d; r gets the remainder.
// Pre: high < d (so the quotient fits a word).
inline mag_word mag_div_2by1(mag_word high, mag_word low, mag_word d, mag_word& r) {
#if defined(__x86_64__)
    mag_word q;
    __asm__("divq %[d]" : "=a"(q), "=d"(r) : [d] "r"(d), "a"(low), "d"(high) : "cc");
    return q;
#else
    const mag_dword t = (mag_dword(high) << 64) | low;
    r = mag_word(t % d);
    return mag_word(t / d);
#endif
}

// a += b in place; a carry out of the top sets a[na] = 1. Returns na or na + 1.
// Pre: na >= nb >= 1; a has room for na + 1 words.
std::uint32_t mag_add(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb);

// a -= b in place. Returns 1 when a borrow leaves the top word (b was larger; a then holds
// a wrapped value), else 0. Pre: na >= nb >= 1.
int mag_sub(mag_word* a, const mag_word* b, std::uint32_t na, std::uint32_t nb);

// out = a + b over na words; returns the carry out of the top (0 or 1).
// Pre: na >= nb >= 1; out is a or overlaps neither a nor b.
mag_word mag_add_to(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// out = a - b over na words; returns the borrow out of the top (1 when b was larger).
// Pre: as mag_add_to.
mag_word mag_sub_to(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb);

// The inverse of the odd word b modulo 2^64, by Newton's iteration x' = x (2 - b x), which
// doubles the number of correct low bits; b itself is right to 3 bits (b b = 1 mod 8).
// A quotient known to be exact and to fit in a word is the dividend's low word times it.
inline mag_word inverse_mod_word(mag_word b) {
    mag_word x = b;
    for (int i = 0; i < 5; ++i) x *= 2 - b * x;
    return x;
}

// Number of words up to and including the highest nonzero one; 0 when n is 0 or all are 0.
// Inline: every value the arithmetic makes is fitted by it, short ones too.
inline std::uint32_t mag_length(const mag_word* a, std::uint32_t n) {
    while (n > 0 && a[n - 1] == 0) --n;
    return n;
}

// -1, 0 or +1 as the n-word magnitude a is below, equal to or above the n-word magnitude b.
int mag_cmp(const mag_word* a, const mag_word* b, std::uint32_t n);

// out = a * b in na + nb words. Returns the top word out[na + nb - 1].
// Pre: na, nb >= 1; out overlaps neither a nor b.
mag_word mag_mul(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t na, std::uint32_t nb);

// Operands at least this long (in words) are multiplied by mag_mul_fast with Karatsuba's
// method; below it the schoolbook product of mag_mul is faster (measured on square
// operands: even at 24 to 32 words, Karatsuba 1.7 times faster at 128 words).
constexpr std::uint32_t mag_karatsuba_threshold = 32;
// Operands at least this long are multiplied by Toom's 3-way method, with Karatsuba's or the
// schoolbook method for the five products of a third of the length (measured on square
// operands, processor time: Karatsuba 3 to 4% faster at 128 to 160 words, Toom 8% faster at
// 192, 1.3 times at 4096 and 1.75 times at 65536 words).
constexpr std::uint32_t mag_toom3_threshold = 180;

// Number of scratch words that mag_mul_fast needs for operands of na >= nb words.
std::size_t mag_mul_scratch(std::uint32_t na, std::uint32_t nb);

// out = a * b in na + nb words, as mag_mul, by Karatsuba's method once nb reaches
// mag_karatsuba_threshold and Toom's 3-way method once it reaches mag_toom3_threshold. Returns the top word out[na + nb - 1].
// Pre: na >= nb >= 1; out overlaps neither a nor b; scratch holds mag_mul_scratch(na, nb)
// words and overlaps nothing else.
mag_word mag_mul_fast(const mag_word* a, const mag_word* b, mag_word* out, std::uint32_t na, std::uint32_t nb,
                      mag_word* scratch);

// out = a * m + c over n words. Returns the word carried out of the top. Pre: out is a or
// does not overlap it.
mag_word mag_mul_word_add(const mag_word* a, mag_word* out, std::uint32_t n, mag_word m, mag_word c);

// out = a * m in n + 1 words. Returns the top word out[n]. Pre: n >= 1; out is a (with room
// for n + 1 words) or does not overlap it.
mag_word mag_mul_word(const mag_word* a, mag_word* out, std::uint32_t n, mag_word m);

// out = a shifted left by s bits over n words; returns the bits shifted out of the top.
// Pre: 0 <= s < 64; out is a or does not overlap it.
mag_word mag_lshift(mag_word* out, const mag_word* a, std::uint32_t n, int s);

// out = a shifted right by s bits over n words; the bits shifted out are dropped.
// Pre: 0 <= s < 64, n >= 1; out is a or does not overlap it.
void mag_rshift(mag_word* out, const mag_word* a, std::uint32_t n, int s);

// q = a / d, word by word from the top. Returns the remainder. a is not changed unless q is a.
// Pre: n >= 1, d != 0; q is a or does not overlap it.
mag_word mag_div_word(const mag_word* a, mag_word* q, std::uint32_t n, mag_word d);

// Long division of u (m words) by v (n words): q[0 .. m - n] gets the quotient, u[0 .. n - 1]
// the remainder (the words above it are left undefined), v is multiplied by the normalisation
// factor. Returns the remainder's significant length.
// Pre: n >= 2, m >= n, v[n - 1] != 0; u has room for m + 1 words, q for m - n + 1; no overlaps.
std::uint32_t mag_divide(mag_word* u, mag_word* v, mag_word* q, std::uint32_t m, std::uint32_t n);

// q = a / b in na - nb + 1 words for b known to divide a, by Hensel's division from the low
// end (about half the work of long division, with no quotient estimates). Without an exact
// division q is some value. Pre: na >= nb >= 1, b[nb - 1] != 0; scratch holds nb words; q
// overlaps neither a, b nor scratch.
void mag_divexact(mag_word* q, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb,
                  mag_word* scratch);

// The greatest common divisor of two words (either may be 0) by the binary method.
mag_word mag_word_gcd(mag_word a, mag_word b);

// Number of scratch words that mag_gcd needs for operands of up to na words.
std::size_t mag_gcd_scratch(std::uint32_t na);

// The greatest common divisor of a and b into out (nb words), by Lehmer's method. Returns
// its length. Pre: na >= nb >= 1, a[na - 1] != 0, b[nb - 1] != 0; scratch holds
// mag_gcd_scratch(na) words; out, scratch and the operands do not overlap.
std::uint32_t mag_gcd(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb,
                      mag_word* scratch);

// Divisions with at least this many divisor words and quotient words go by recursion on
// halves in mag_divide_fast; below, long division is faster (measured on 2n by n words:
// long division 7% faster at 48 words, the two even from 128 words on).
constexpr std::uint32_t mag_divide_recursive_threshold = 80;

// Number of scratch words that mag_divide_fast needs for m dividend and n divisor words.
std::size_t mag_divide_fast_scratch(std::uint32_t m, std::uint32_t n);

// mag_divide (the same results and preconditions, v normalised too), by recursion on halves
// over Karatsuba's products when both the divisor and the quotient are long. u has room for
// m + 2 words; scratch holds mag_divide_fast_scratch(m, n) words and overlaps nothing else.
std::uint32_t mag_divide_fast(mag_word* u, mag_word* v, mag_word* q, std::uint32_t m, std::uint32_t n,
                              mag_word* scratch);

} // namespace velmora
