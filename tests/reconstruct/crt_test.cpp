// Chinese remaindering and the bounds on minors, against exact values.
#include "reconstruct/crt.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/words.hpp"
#include "modular/float_primes.hpp"
#include "modular/prime_source.hpp"
#include "modular/reduce_mod.hpp"
#include "reconstruct/minor_bound.hpp"
#include "support/reference.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace velmora {
namespace {

// x mod q in [0, q) by big_int's division, independent of reduce_mod.
residue residue_by_division(const big_int& x, std::uint64_t q) {
    const big_int modulus = big_int_from_words64(1, &q, 1);
    big_int r = x % modulus;
    if (r < big_int(0)) r = r + modulus;
    return r.rep().len == 0 ? 0 : residue(r.rep().digits[0]);
}

// Values of up to the full width with both signs and at the edges of the symmetric range
// come back from their residues: by Garner's method for few primes, up a product tree
// for many, and with primes from later windows of the sieve.
TEST(ChineseRemainder, SymmetricValuesComeBack) {
    const std::uint64_t seed = seed_from_environment(11);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    // Then coprime moduli of unlike sizes: products of two primes below 2^22 and one such
    // prime alone, as the engine keeps the images modulo those primes.
    struct moduli { int k; bool products; };
    for (const auto [k, products] : {moduli{6, false}, moduli{crt_tree_threshold - 1, false},
                                     moduli{crt_tree_threshold, false}, moduli{150, false}, moduli{7, true},
                                     moduli{70, true}}) {
        SCOPED_TRACE(std::to_string(k) + (products ? " moduli" : " primes"));
        std::vector<std::uint64_t> primes;
        big_int modulus(1);
        for (int s = 0; s < k; ++s) {
            primes.push_back(products ? std::uint64_t(float_prime(2 * s)) * (s + 1 < k ? float_prime(2 * s + 1) : 1)
                                      : engine_prime(k == 150 ? 2030 + s : 5 * s));
            modulus = modulus * big_int_from_words64(1, &primes[s], 1);
        }
        const big_int half = (modulus - big_int(1)) / big_int(2);
        std::vector<big_int> values = {big_int(0), big_int(1), big_int(-1), half, -half, half - big_int(1)};
        for (int run = 0; run < 100; ++run) {
            // up to 62 k - 2 bits, reduced below M / 2
            std::vector<std::uint64_t> w(1 + gen() % k);
            for (auto& x : w) x = gen() >> 2;
            values.push_back(big_int_from_words64(gen() % 2 ? 1 : -1, w.data(), w.size()) % half);
        }
        std::vector<residue> residues(k * values.size());
        for (int s = 0; s < k; ++s)
            for (std::size_t e = 0; e < values.size(); ++e) residues[s * values.size() + e] = products ? residue_by_division(values[e], primes[s]) : reduce_mod(values[e], primes[s]);
        std::vector<big_int> out(values.size());
        reconstruct_symmetric(residues.data(), primes.data(), k, values.size(), out.data());
        for (std::size_t e = 0; e < values.size(); ++e) EXPECT_TRUE(out[e] == values[e]) << e << ": " << values[e];
    }
}

// Every minor of every order of small random matrices, computed exactly, is below
// the bound; for a Hadamard matrix, whose determinant meets Hadamard's inequality,
// the bound is within one bit.
TEST(MinorBound, BoundsEveryExactMinor) {
    const std::uint64_t seed = seed_from_environment(5);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(seed);
    for (int run = 0; run < 60; ++run) {
        const int m = 1 + int(gen() % 4), n = m + int(gen() % 3);
        const int range = run % 3 == 0 ? 1 : run % 3 == 1 ? 9 : 1000000;
        std::uniform_int_distribution<int> entry(-range, range);
        matrix<big_int> a(m, n);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) {
                a(i, j) = big_int(entry(gen) * (run % 5 == 0 ? 1000 : 1));
                if (run % 7 == 3) a(i, j) = a(i, j) * big_int(1 << 30) * big_int(1 << 30);  // norms beyond 128 bits
            }
        const long h = minor_bound_bits(testing::row_major_entries(a).data(), m, n);
        const minor_bounds by_order(testing::row_major_entries(a).data(), m, n);
        // All row subsets and column subsets of equal size.
        for (int rows = 1; rows < (1 << m); ++rows)
            for (int cols = 1; cols < (1 << n); ++cols) {
                if (__builtin_popcount(rows) != __builtin_popcount(cols)) continue;
                vector<int> r, c;
                for (int i = 0; i < m; ++i)
                    if (rows >> i & 1) r.append_item(i);
                for (int j = 0; j < n; ++j)
                    if (cols >> j & 1) c.append_item(j);
                const big_int minor = testing::bareiss_det(a.submatrix(r, c));
                ASSERT_LE(bit_length(minor), h) << "run " << run;
                ASSERT_LE(bit_length(minor), by_order.bits(r.size())) << "run " << run << ", order " << r.size();
            }
    }
    const int hadamard[4][4] = {{1, 1, 1, 1}, {1, -1, 1, -1}, {1, 1, -1, -1}, {1, -1, -1, 1}};
    // Scales on both sides of 2^31, where the norms are summed in words or in big_int.
    const big_int scales[] = {big_int(1000), big_int(2147483647), big_int(2147483647) + big_int(1)};
    for (const big_int& scale : scales) {
        matrix<big_int> a(4, 4);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) a(i, j) = big_int(hadamard[i][j]) * scale;
        const big_int det = testing::bareiss_det(a);
        EXPECT_TRUE(abs(det) == big_int(16) * scale * scale * scale * scale);
        const long h = minor_bound_bits(testing::row_major_entries(a).data(), 4, 4);
        EXPECT_GE(h, bit_length(det));
        EXPECT_LE(h, bit_length(det) + 1);
        EXPECT_EQ(minor_bounds(testing::row_major_entries(a).data(), 4, 4).bits(4), h);
    }
}

} // namespace
} // namespace velmora
