#include "engine/det_bound.hpp"

#include "bigint/words.hpp"
#include "diag/checked_buffer.hpp"
#include "engine/pivot_guess.hpp"

#include <algorithm>
#include <cstdint>

namespace velmora {

// X = S^-1 A, S the diagonal of the powers of two s_i = 2^(e_i - 1), e_i the longest bit
// length in row i of A (1 for a zero row): every row of X has its largest entry in [1, 2),
// so rows of unlike sizes do not swamp the proof's bounds, which are taken over all rows
// at once. X is factored by the largest-magnitude search in doubles with near ties taken as
// they come (no exact comparisons: the bound needs no particular rows), and
// bound_guessed_determinant gives |det X| < 2^b; so |det A| = |det X| prod s_i
// < 2^(b + sum (e_i - 1)).
void square_det_bound::run() {
    bits = -1;
    if (n_ <= 0) return;
    checked_buffer<big_int> scales(n_);
    checked_buffer<int> cols(n_);
    long scale_bits = 0;
    for (int i = 0; i < n_; ++i) {
        long e = 1;
        for (int j = 0; j < n_; ++j) e = std::max(e, bit_length(a_[std::size_t(i) * stride_ + j]));
        checked_buffer<std::uint64_t> words(std::size_t((e - 1) / 64 + 1));
        words[std::size_t((e - 1) / 64)] = std::uint64_t(1) << ((e - 1) % 64);
        scales[i] = big_int_from_words64(1, words.data(), words.size());
        scale_bits += e - 1;
        cols[i] = i;
    }
    pivot_guess guess(n_, n_);
    guess.settle_ties = false;
    long b = 0;
    if (guess_pivot_rows(a_, int(stride_), scales.data(), cols.data(), guess) && bound_guessed_determinant(guess, b))
        bits = std::max(b + scale_bits, 0L);  // |det A| < 2^(b + scale_bits) <= 1 when not above 0: singular
}

} // namespace velmora
