// Division by recursion on halves (Burnikel and Ziegler's method, in the form of Brent and
// Zimmermann's RecursiveDivRem): a division of n + m by n words costs two divisions of
// about n + m/2 by n - m/2 words and two products of m/2-word halves, which Karatsuba's
// method makes fast. Long division (mag_divide) is the base case.
#include "bigint/mag.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

const mag_word one_word = 1;

// Scratch words of recursive_divide for m quotient words.
std::size_t recursive_scratch(std::uint32_t m) {
    if (m < mag_divide_recursive_threshold) return 0;
    const std::uint32_t k = m / 2;
    const std::size_t product = std::size_t(m) + 2, low_quotient = std::size_t(k) + 2;
    const std::size_t deeper = std::max(recursive_scratch(m - k), mag_mul_scratch(m - k + 1, k));
    return product + low_quotient + deeper;
}

// window -= p (np words), the window being n words with a signed top: returns the new top
// (0 when no borrow left it, -1 when it did). Pre: np <= n.
int subtract_into(mag_word* window, std::uint32_t n, const mag_word* p, std::uint32_t np) {
    np = mag_length(p, np);
    if (np == 0) return 0;
    return -mag_sub(window, p, n, np);
}

// q (m + 1 words, top word 0 or 1) and remainder of the n + m words at a by the normalised
// n-word b; the remainder replaces a[0 .. n) and a[n .. n + m) become zero. a has a word of
// room above it (a[n + m]), which ends as zero too. Pre: m <= n, b[n - 1] >= 2^63.
void recursive_divide(mag_word* a, std::uint32_t n, std::uint32_t m, mag_word* b, mag_word* q, mag_word* scratch) {
    assert(m <= n && n >= 2 && (b[n - 1] >> 63) == 1);
    if (m < mag_divide_recursive_threshold) {
        // Long division of a normalised divisor shifts nothing and leaves b as it is.
        mag_divide(a, b, q, n + m, n);
        std::fill(a + n, a + n + m + 1, mag_word(0));
        return;
    }
    const std::uint32_t k = m / 2;
    mag_word* product = scratch;
    mag_word* low_quotient = product + m + 2;
    mag_word* deeper = low_quotient + k + 2;
    mag_word* b1 = b + k; // b = b1 2^(64k) + b0, b1 normalised

    // The high quotient q1 = q[k .. m] from the top n + m - 2k words by b1; then
    // a' = r1 2^(128k) + (a mod 2^(128k)) - q1 b0 2^(64k), made nonnegative by adding b 2^(64k).
    recursive_divide(a + 2 * k, n - k, m - k, b1, q + k, deeper);
    mag_mul_fast(q + k, b, product, m - k + 1, k, deeper);
    int top = subtract_into(a + k, n + 1, product, m + 1);
    while (top < 0) {
        mag_sub_to(q + k, q + k, m - k + 1, &one_word, 1);
        top += int(mag_add_to(a + k, a + k, n + 1, b, n));
    }

    // The low quotient q0 from a' / 2^(64k) by b1, then a'' = r0 2^(64k) + (a' mod 2^(64k)) - q0 b0.
    recursive_divide(a + k, n - k, k, b1, low_quotient, deeper);
    mag_mul_fast(low_quotient, b, product, k + 1, k, deeper);
    top = subtract_into(a, n + 1, product, 2 * k + 1);
    while (top < 0) {
        mag_sub_to(low_quotient, low_quotient, k + 1, &one_word, 1);
        top += int(mag_add_to(a, a, n + 1, b, n));
    }
    // q = q1 2^(64k) + q0, where q0 may have a top word of 1 that joins q1's low word.
    std::copy_n(low_quotient, k, q);
    if (low_quotient[k] != 0) mag_add_to(q + k, q + k, m - k + 1, low_quotient + k, 1);
}

} // namespace

std::size_t mag_divide_fast_scratch(std::uint32_t m, std::uint32_t n) {
    const std::uint32_t total = m - n + 1;
    const std::uint32_t first = total % n == 0 ? n : total % n;
    return std::size_t(n) + 1 + std::max(recursive_scratch(first), total > first ? recursive_scratch(n) : 0);
}

std::uint32_t mag_divide_fast(mag_word* u, mag_word* v, mag_word* q, std::uint32_t m, std::uint32_t n,
                              mag_word* scratch) {
    assert(n >= 2 && m >= n && v[n - 1] != 0);
    if (n < mag_divide_recursive_threshold || m - n < mag_divide_recursive_threshold) return mag_divide(u, v, q, m, n);
    const int s = __builtin_clzll(v[n - 1]);
    if (s != 0) {
        mag_lshift(v, v, n, s);
        u[m] = mag_lshift(u, u, m, s);
    } else {
        u[m] = 0;
    }
    // The quotient's m - n + 1 words in chunks of at most n words from the top: the first
    // chunk takes the rest, then each divides the running remainder's n words and the next
    // n words of u. Quotient words of a chunk above its n go to chunk_quotient[n].
    mag_word* chunk_quotient = scratch;
    mag_word* deeper = scratch + n + 1;
    const std::uint32_t total = m - n + 1;
    std::uint32_t first = total % n == 0 ? n : total % n;
    std::uint32_t at = total - first; // the chunk's lowest quotient word
    // The first chunk divides the n + first words u[at ..], u[m] included.
    recursive_divide(u + at, n, first, v, chunk_quotient, deeper);
    std::copy_n(chunk_quotient, first, q + at);
    assert(chunk_quotient[first] == 0);
    while (at != 0) {
        at -= n;
        recursive_divide(u + at, n, n, v, chunk_quotient, deeper);
        assert(chunk_quotient[n] == 0);
        std::copy_n(chunk_quotient, n, q + at);
    }
    if (s != 0) mag_rshift(u, u, n, s);
    return mag_length(u, n);
}

} // namespace velmora
