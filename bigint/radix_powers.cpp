// Radix conversion by divide and conquer on the powers P^(2^i) of the group power: a
// magnitude splits into its quotient and remainder by such a power, and groups join as
// high * P^(2^i) + low. With Karatsuba's products and division by recursion on halves
// both directions cost a small multiple of one product of the whole length, instead of
// the square of the length by words.
#include "bigint/radix_groups.hpp"

#include "diag/checked_buffer.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// P^(2^i) for i = 0, 1, ... as long as 2^i < max_groups, each in words of its own length.
class power_table {
public:
    power_table(mag_word P, std::uint64_t max_groups) : words_(room(max_groups)) {
        mag_word* at = words_.data();
        at[0] = P;
        start_[0] = 0;
        length_[0] = 1;
        count_ = 1;
        for (std::uint64_t groups = 2; groups < max_groups; groups *= 2, ++count_) {
            const mag_word* previous = power(count_ - 1);
            const std::uint32_t n = length_[count_ - 1];
            mag_word* square = at + start_[count_ - 1] + n;
            checked_buffer<mag_word> scratch(mag_mul_scratch(n, n));
            mag_mul_fast(previous, previous, square, n, n, scratch.data());
            start_[count_] = std::size_t(square - at);
            length_[count_] = mag_length(square, 2 * n);
        }
    }

    int count() const { return count_; }
    const mag_word* power(int i) const { return words_.data() + start_[i]; }
    std::uint32_t length(int i) const { return length_[i]; }

private:
    // P^(2^i) takes at most 2^i words (P < 2^64); the squares of the table up to 2^i < g
    // groups take at most twice the last one's words.
    static std::size_t room(std::uint64_t max_groups) { return 4 * std::size_t(max_groups) + 2; }

    static constexpr int max_levels = 40;
    checked_buffer<mag_word> words_;
    std::size_t start_[max_levels];
    std::uint32_t length_[max_levels];
    int count_;
};

// q (n - nd + 1 words) and r (nd words) of a (n words) by d (nd words, top word nonzero).
// Pre: n >= nd.
void divide_with_remainder(const mag_word* a, std::uint32_t n, const mag_word* d, std::uint32_t nd, mag_word* q,
                           mag_word* r) {
    if (nd == 1) {
        r[0] = mag_div_word(a, q, n, d[0]);
        return;
    }
    checked_buffer<mag_word> scratch(std::size_t(n) + 2 + nd + mag_divide_fast_scratch(n, nd));
    mag_word* u = scratch.data();
    mag_word* v = u + n + 2;
    std::copy_n(a, n, u);
    std::copy_n(d, nd, v);
    mag_divide_fast(u, v, q, n, nd, v + nd);
    std::copy_n(u, nd, r);
}

// Writes the groups of a (n words) to out: exactly `width` groups (zeros on top) when width
// is not 0, else as many as a has. Returns the number written. Pre: a < P^width when width
// is not 0.
std::uint64_t split(const mag_word* a, std::uint32_t n, const power_table& powers, mag_word* out,
                    std::uint64_t width) {
    n = mag_length(a, n);
    std::uint64_t written = 0;
    if (n < mag_radix_split_threshold) {
        if (n != 0) {
            checked_buffer<mag_word> copy(n);
            std::copy_n(a, n, copy.data());
            written = mag_to_groups_by_words(copy.data(), out, n, powers.power(0)[0]);
        }
    } else {
        // The largest power of at most half of a's words, so that the halves are balanced.
        int i = 0;
        while (i + 1 < powers.count() && 2 * std::uint64_t(powers.length(i + 1)) <= n + 1) ++i;
        const std::uint32_t nd = powers.length(i);
        checked_buffer<mag_word> quotient(n - nd + 1), rest(nd);
        divide_with_remainder(a, n, powers.power(i), nd, quotient.data(), rest.data());
        const std::uint64_t low = std::uint64_t(1) << i;
        split(rest.data(), nd, powers, out, low);
        assert(width == 0 || width > low);
        written = low + split(quotient.data(), n - nd + 1, powers, out + low, width == 0 ? 0 : width - low);
    }
    assert(width == 0 || written <= width);
    std::fill(out + written, out + std::max(written, width), mag_word(0));
    return std::max(written, width);
}

// The magnitude of the n groups of g into out (room for n words); returns its length.
std::uint32_t join(const mag_word* g, std::uint32_t n, const power_table& powers, mag_word* out) {
    n = mag_length(g, n);
    if (n < mag_radix_join_threshold) return groups_to_mag_by_words(g, out, n, powers.power(0)[0]);
    // The low part takes the largest power of two groups below n.
    int i = 0;
    while (i + 1 < powers.count() && (std::uint64_t(2) << i) < n) ++i;
    const std::uint32_t low_groups = std::uint32_t(1) << i, high_groups = n - low_groups;
    const std::uint32_t np = powers.length(i);
    checked_buffer<mag_word> high(high_groups), product(std::size_t(high_groups) + np);
    const std::uint32_t nh = join(g + low_groups, high_groups, powers, high.data());
    const std::uint32_t nl = join(g, low_groups, powers, out);
    // out = high * P^low_groups + low; the value is below P^n, so it fits n words.
    std::uint32_t length = nh + np;
    if (nh >= np) {
        checked_buffer<mag_word> scratch(mag_mul_scratch(nh, np));
        mag_mul_fast(high.data(), powers.power(i), product.data(), nh, np, scratch.data());
    } else {
        checked_buffer<mag_word> scratch(mag_mul_scratch(np, nh));
        mag_mul_fast(powers.power(i), high.data(), product.data(), np, nh, scratch.data());
    }
    if (nl != 0) mag_add_to(product.data(), product.data(), length, out, nl);
    length = mag_length(product.data(), length);
    assert(length <= n);
    std::copy_n(product.data(), length, out);
    return length;
}

} // namespace

std::uint32_t mag_to_groups_by_powers(mag_word* a, mag_word* out, std::uint32_t n, mag_word P) {
    assert(n >= 1 && a[n - 1] != 0 && P >= 2);
    // a < 2^(64n) <= P^(2n) for P <= 2^32; for larger P fewer groups suffice.
    const power_table powers(P, std::uint64_t(n) + 1);
    return std::uint32_t(split(a, n, powers, out, 0));
}

std::uint32_t groups_to_mag_by_powers(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
    n = mag_length(g, n);
    if (n == 0) return 0;
    const power_table powers(P, n);
    return join(g, n, powers, out);
}

} // namespace velmora
