// Exact sums of products of integers, sum over t of x_t y_t, accumulated in place in word
// arrays: no value is built per product, which makes the long integer combinations of
// the engine (a row times a matrix of minors) cost little more than their word products.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"

#include <cstddef>

namespace velmora {

class product_sum {
public:
    // Room for sums of magnitude below 2^(64 words - 1).
    explicit product_sum(std::size_t words);

    void clear();
    // Adds x y. Pre: |x y| and the sum so far fit the room.
    void add_product(const big_int& x, const big_int& y);
    // Adds x w, or subtracts it when `subtract` is set, for one word w.
    void add_word_product(const big_int& x, mag_word w, bool subtract);
    // Whether the sum is zero.
    bool is_zero() const;
    // The sum as a value.
    big_int value() const;

private:
    // The positive and the negative products are summed apart, each as a magnitude.
    std::size_t words_;
    checked_buffer<mag_word> positive_, negative_, scratch_;
};

// Words enough for sums of `terms` products of factors of at most x_words and y_words
// words.
std::size_t product_sum_words(std::size_t x_words, std::size_t y_words, std::size_t terms);

} // namespace velmora
