#include "shaped_operands.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {

constexpr mag_word ones = ~mag_word(0);
constexpr mag_word top_bit = mag_word(1) << 63;

} // namespace

std::uint32_t shaped_operands::length(std::uint32_t max_words) {
    const std::uint32_t roll = below(10);
    const std::uint32_t limit = roll < 6 ? 8 : roll < 9 ? 40 : max_words;
    return below(std::min(limit, max_words) + 1);
}

words shaped_operands::magnitude(std::uint32_t max_words) { return shaped(length(max_words)); }

words shaped_operands::shaped(std::uint32_t n) {
    words w(n);
    if (n == 0) return w;
    switch (below(8)) {
    case 0: // all ones
        std::fill(w.begin(), w.end(), ones);
        break;
    case 1: // a power of two
        w.back() = mag_word(1) << below(64);
        break;
    case 2: { // runs of equal bits
        bool one = bit();
        for (std::uint32_t b = 0; b < 64 * n;) {
            const std::uint32_t run = 1 + below(64);
            for (std::uint32_t end = std::min(b + run, 64 * n); b < end; ++b)
                if (one) w[b / 64] |= mag_word(1) << (b % 64);
            one = !one;
        }
        break;
    }
    case 3: // sparse words
        for (mag_word& x : w) x = below(4) == 0 ? word() : 0;
        break;
    case 4: // top word 2^64 - 1: normalisation factor 1
        for (mag_word& x : w) x = word();
        w.back() = ones;
        break;
    case 5: // top word 2^63 over ones: quotient estimates that need correcting
        std::fill(w.begin(), w.end(), ones);
        w.back() = top_bit;
        if (n > 2) w[below(n - 1)] = word();
        break;
    case 6: // small top word: the largest normalisation shifts
        for (mag_word& x : w) x = word();
        w.back() = 1 + below(3);
        break;
    default:
        for (mag_word& x : w) x = word();
    }
    if (w.back() == 0) w.back() = 1;
    return w;
}

void shaped_operands::add_back_pair(std::uint32_t max_words, words& u, words& v) {
    const std::uint32_t n = 3 + below(std::max<std::uint32_t>(max_words / 4, 4));
    const std::uint32_t extra = below(4);
    // v's two top words T, normalised, above words of all ones.
    v.assign(n, ones);
    v[n - 1] = word() | top_bit;
    v[n - 2] = word();
    // u's top three words are q * T, exactly, above zero words: the estimate from them is q,
    // while q * v exceeds u by q times the ones below T.
    const mag_word q = 2 + word() % (ones - 2);
    const mag_dword low = mag_dword(q) * v[n - 2];
    const mag_dword high = mag_dword(q) * v[n - 1] + (low >> 64);
    u.assign(extra + n + 1, 0);
    for (std::uint32_t i = 0; i < extra; ++i) u[i] = word();
    u[extra + n - 2] = mag_word(low);
    u[extra + n - 1] = mag_word(high);
    u[extra + n] = mag_word(high >> 64);
}

std::string hex_literal(int sign, const words& magnitude) {
    if (magnitude.empty()) return "0";
    std::string text = sign < 0 ? "-0x" : "0x";
    char word_text[17];
    for (auto w = magnitude.rbegin(); w != magnitude.rend(); ++w) {
        std::snprintf(word_text, sizeof word_text, "%016llx", static_cast<unsigned long long>(*w));
        text += word_text;
    }
    return text;
}

} // namespace velmora
