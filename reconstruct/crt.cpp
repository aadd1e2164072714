#include "reconstruct/crt.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/words.hpp"
#include "bigint/mag.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/thread_pool.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// x := x m + c over n words, m and c single words; returns the new length (x has room for
// n + 1 words). Pre: x[0 .. n-1] trimmed, or n = 0.
std::uint32_t times_word_plus(mag_word* x, std::uint32_t n, mag_word m, mag_word c) {
    if (n == 0) {
        x[0] = c;
        return c != 0 ? 1 : 0;
    }
    const mag_word carry = mag_mul_word_add(x, x, n, m, c);
    if (carry != 0) x[n++] = carry;
    return n;
}

// Mixed-radix digits in place: afterwards x = d_0 + d_1 p_0 + d_2 p_0 p_1 + ... with
// d_s = residues[s * stride + e] in [0, p_s), for e < count (Garner's method).
void mixed_radix_digits(residue* residues, std::size_t stride, const std::uint64_t* primes, int k,
                        std::size_t count) {
    checked_buffer<residue> acc(count);
    for (int t = 1; t < k; ++t) {
        const std::uint64_t p = primes[t];
        // acc = d_0 + d_1 p_0 + ... + d_{t-1} p_0 ... p_{t-2} mod p, by Horner from the top.
        const residue* top = residues + std::size_t(t - 1) * stride;
        for (std::size_t e = 0; e < count; ++e) acc[e] = top[e] % p;
        residue modulus_product = primes[0] % p;  // p_0 ... p_{t-1} mod p
        for (int u = t - 2; u >= 0; --u) {
            const shoup_factor pu = make_shoup_factor(primes[u] % p, p);
            const residue* digits = residues + std::size_t(u) * stride;
            if (primes[u] < 2 * p) {
                for (std::size_t e = 0; e < count; ++e) {
                    const residue d = digits[e] >= p ? digits[e] - p : digits[e];  // d < p_u < 2p
                    acc[e] = add_mod(mul_shoup(acc[e], pu, p), d, p);
                }
            } else {
                for (std::size_t e = 0; e < count; ++e) acc[e] = add_mod(mul_shoup(acc[e], pu, p), digits[e] % p, p);
            }
        }
        for (int u = 1; u < t; ++u) modulus_product = mul_mod(modulus_product, primes[u] % p, p);
        const shoup_factor inverse = make_shoup_factor(inverse_mod(modulus_product, p), p);
        residue* row = residues + std::size_t(t) * stride;
        for (std::size_t e = 0; e < count; ++e) row[e] = mul_shoup(sub_mod(row[e], acc[e], p), inverse, p);
    }
}

// (M / p_s)^-1 mod p_s for every prime, M the product of all: M mod p_s^2, for every s at
// once down a remainder tree, is a multiple r_s of p_s, and r_s / p_s = M / p_s (mod p_s).
void cofactor_inverses(const std::uint64_t* primes, int k, const big_int& modulus, residue* inverses) {
    checked_buffer<big_int> squares(k), remainders(k), scratch(2 * std::size_t(k));
    for (int s = 0; s < k; ++s) {
        const unsigned __int128 square = static_cast<unsigned __int128>(primes[s]) * primes[s];
        const std::uint64_t words[2] = {static_cast<std::uint64_t>(square), static_cast<std::uint64_t>(square >> 64)};
        squares[s] = big_int_from_words64(1, words, 2);
    }
    const remainder_tree tree(squares.data(), k);
    tree.remainders(modulus, remainders.data(), scratch.data());
    for (int s = 0; s < k; ++s) {
        const std::uint64_t p = primes[s];
        const big_int_rep& r = remainders[s].rep();
        // r_s < p^2 < 2^124: two words at most.
        const unsigned __int128 value =
            r.len == 0 ? 0 : (r.len == 1 ? r.digits[0] : (static_cast<unsigned __int128>(r.digits[1]) << 64) | r.digits[0]);
        inverses[s] = inverse_mod(static_cast<residue>((value / p) % p), p);
    }
}

// By the sum x = sum over s of c_s M / p_s with c_s = x_s (M / p_s)^-1 mod p_s, formed up the
// product tree (a node's sum is its left sum times its right product plus its right sum
// times its left product), then reduced modulo M: the sum is below k M, so the reduction
// is one short division. O(M(h) log k) per value for h-bit values, fast products given.
void reconstruct_by_tree(const residue* residues, std::size_t stride, const std::uint64_t* primes,
                         const remainder_tree& tree, const residue* inverses, std::size_t count, big_int* out) {
    const int k = tree.leaves();
    const big_int& modulus = tree.node(1);
    const big_int half = modulus / big_int(2);  // M is odd: x > half means x - M
    checked_buffer<big_int> sums(2 * std::size_t(k));
    for (std::size_t e = 0; e < count; ++e) {
        for (int s = 0; s < k; ++s) {
            const residue c = mul_mod(residues[std::size_t(s) * stride + e], inverses[s], primes[s]);
            sums[std::size_t(k + s)] = big_int_from_words64(1, &c, 1);
        }
        for (int j = k - 1; j >= 1; --j) {
            const std::size_t left = 2 * std::size_t(j), right = left + 1;
            sums[j] = sums[left] * tree.node(right) + sums[right] * tree.node(left);
        }
        big_int x = sums[1] % modulus;
        out[e] = x > half ? x - modulus : x;
    }
}

// Garner's method: O(k^2) word operations per value, the fastest for few primes.
void reconstruct_by_digits(residue* residues, std::size_t stride, const std::uint64_t* primes, int k,
                           std::size_t count, big_int* out) {
    assert(k >= 1);
    mixed_radix_digits(residues, stride, primes, k, count);
    const std::uint32_t room = std::uint32_t(k + 1);
    // M and half = (M - 1) / 2 (M is odd): x is taken as x - M when x > half.
    checked_buffer<mag_word> modulus(room), half(room), x(room), difference(room);
    std::uint32_t nm = times_word_plus(modulus.data(), 0, 0, 1);
    for (int s = 0; s < k; ++s) nm = times_word_plus(modulus.data(), nm, primes[s], 0);
    mag_div_word(modulus.data(), half.data(), nm, 2);
    const std::uint32_t nh = mag_length(half.data(), nm);
    for (std::size_t e = 0; e < count; ++e) {
        std::uint32_t n = 0;
        for (int s = k - 1; s >= 0; --s)
            n = times_word_plus(x.data(), n, primes[s], residues[std::size_t(s) * stride + e]);
        if (n == 0) {
            out[e] = big_int();
            continue;
        }
        if (n > nh || (n == nh && mag_cmp(x.data(), half.data(), n) > 0)) {
            for (std::uint32_t w = 0; w < nm; ++w) difference[w] = modulus[w];
            mag_sub(difference.data(), x.data(), nm, n);
            out[e] = copied_value(-1, difference.data(), nm);
            continue;
        }
        out[e] = copied_value(1, x.data(), n);
    }
}

} // namespace

void reconstruct_symmetric(residue* residues, const std::uint64_t* primes, int k, std::size_t count,
                           big_int* out) {
    assert(k >= 1);
    // The values in one block per thread; each block's values are exact whatever the split.
    const std::size_t blocks = std::max<std::size_t>(1, std::min<std::size_t>(count, std::size_t(thread_count())));
    auto block = [&](std::size_t b, std::size_t& first, std::size_t& size) {
        first = count * b / blocks;
        size = count * (b + 1) / blocks - first;
    };
    if (k < crt_tree_threshold) {
        parallel_for(blocks, [&](std::size_t b) {
            std::size_t first, size;
            block(b, first, size);
            reconstruct_by_digits(residues + first, count, primes, k, size, out + first);
        });
        return;
    }
    // The product tree of the primes.
    checked_buffer<big_int> leaves(k);
    for (int s = 0; s < k; ++s) leaves[s] = big_int_from_words64(1, &primes[s], 1);
    const remainder_tree tree(leaves.data(), k);
    checked_buffer<residue> inverses(k);
    cofactor_inverses(primes, k, tree.node(1), inverses.data());
    parallel_for(blocks, [&](std::size_t b) {
        std::size_t first, size;
        block(b, first, size);
        if (blocks == 1) {
            reconstruct_by_tree(residues + first, count, primes, tree, inverses.data(), size, out + first);
            return;
        }
        const remainder_tree own(tree);
        reconstruct_by_tree(residues + first, count, primes, own, inverses.data(), size, out + first);
    });
}

} // namespace velmora
