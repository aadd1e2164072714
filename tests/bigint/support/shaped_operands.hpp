// Random magnitudes for differential tests, shaped to reach the corners of word arithmetic:
// words of all ones, powers of two, runs of equal bits, sparse words, divisors whose top word
// needs no normalisation or whose quotient estimates need correcting, and dividend and divisor
// pairs that force the add-back step of long division.
#pragma once

#include "support/seed.hpp"

#include "bigint/mag.hpp"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace velmora {

using words = std::vector<mag_word>;

class shaped_operands {
public:
    explicit shaped_operands(std::uint64_t seed) : rng_(seed) {}

    // A magnitude of 0 to max_words significant words, mostly short, of a random shape.
    words magnitude(std::uint32_t max_words);
    // A magnitude of exactly n significant words, of a random shape.
    words shaped(std::uint32_t n);

    // u and v (v of at least three words) such that the second quotient digit from the top
    // is estimated one too high even after the two-word correction.
    void add_back_pair(std::uint32_t max_words, words& u, words& v);

    // -1 or +1.
    int sign() { return bit() ? 1 : -1; }

    // A number from 0 to n - 1.
    std::uint32_t below(std::uint32_t n) { return std::uint32_t(rng_() % n); }

private:
    mag_word word() { return mag_word(rng_()); }
    bool bit() { return rng_() & 1; }
    std::uint32_t length(std::uint32_t max_words);

    std::mt19937_64 rng_;
};

// "-0x..." / "0x..." text of a signed magnitude, for both big_int and GMP to read ("0" for
// no words).
std::string hex_literal(int sign, const words& magnitude);

} // namespace velmora
