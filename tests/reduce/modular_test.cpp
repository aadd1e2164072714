// The prime table, arithmetic modulo its primes, the bound on minors and Chinese
// remaindering, each against a plain reference.
#include "reduce/crt.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular.hpp"
#include "reduce/prime_source.hpp"
#include "reduce/modular_echelon.hpp"
#include "support/reference.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace velmora {
namespace {

using u128 = unsigned __int128;

std::uint64_t power_mod(std::uint64_t a, std::uint64_t e, std::uint64_t n) {
    std::uint64_t r = 1;
    for (a %= n; e != 0; e >>= 1, a = std::uint64_t(u128(a) * a % n))
        if (e & 1) r = std::uint64_t(u128(r) * a % n);
    return r;
}

// Miller-Rabin to the prime bases up to 37: exact below 3.3 * 10^24.
bool is_prime(std::uint64_t n) {
    for (std::uint64_t q : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37})
        if (n % q == 0) return n == q;
    std::uint64_t d = n - 1;
    int s = 0;
    for (; d % 2 == 0; d /= 2) ++s;
    for (std::uint64_t base : {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37}) {
        std::uint64_t x = power_mod(base, d, n);
        if (x == 1 || x == n - 1) continue;
        bool composite = true;
        for (int r = 1; r < s && composite; ++r) {
            x = std::uint64_t(u128(x) * x % n);
            composite = x != n - 1;
        }
        if (composite) return false;
    }
    return true;
}

TEST(PrimeTable, DecreasingPrimesJustBelowTwoToThe62) {
    const std::uint64_t top = std::uint64_t(1) << 62, floor = top - (std::uint64_t(1) << 41);
    for (int k = 0; k < prime_table_size; ++k) {
        const std::uint64_t p = table_prime(k);
        ASSERT_LT(p, top);
        ASSERT_GT(p, floor);
        if (k > 0) {
            ASSERT_LT(p, table_prime(k - 1));
        }
        ASSERT_TRUE(is_prime(p)) << k;
    }
    EXPECT_FALSE(is_prime(3215031751ULL));  // a strong pseudoprime to 2, 3, 5 and 7
}

// Beyond the table the sequence goes on downward with proven primes and no gaps: every
// odd number between two of them is composite.
TEST(PrimeSequence, ContinuesBelowTheTableWithEveryPrime) {
    const std::uint64_t floor = (std::uint64_t(1) << 62) - (std::uint64_t(1) << 42);
    for (int k = prime_table_size - 2; k < prime_table_size + 300; ++k) {
        const std::uint64_t p = engine_prime(k), next = engine_prime(k + 1);
        ASSERT_GT(next, floor);
        ASSERT_LT(next, p);
        ASSERT_TRUE(is_prime(next)) << k + 1;
        if (k >= prime_table_size - 1) {
            for (std::uint64_t c = next + 2; c < p; c += 2) ASSERT_FALSE(is_prime(c)) << c;
        }
    }
    for (std::uint64_t c : {std::uint64_t(2), std::uint64_t(3), std::uint64_t(37), std::uint64_t(41)}) EXPECT_TRUE(is_prime_u64(c));
    for (std::uint64_t c : {std::uint64_t(0), std::uint64_t(1), std::uint64_t(3215031751ULL), std::uint64_t(3825123056546413051ULL)})
        EXPECT_FALSE(is_prime_u64(c)) << c;  // the last a strong pseudoprime to the bases 2 .. 23
    EXPECT_EQ(primes_for_bits(0), 1);
    EXPECT_EQ(primes_for_bits(61), 1);
    EXPECT_EQ(primes_for_bits(62), 2);
}

TEST(ModularArithmetic, ShoupProductsAndInversesAgreeWithDivision) {
    std::mt19937_64 gen(7);
    for (int run = 0; run < 20000; ++run) {
        const std::uint64_t p = table_prime(int(gen() % prime_table_size));
        const residue a = gen() % p, w = run < 10 ? p - 1 : gen() % p;
        const std::uint64_t b = run < 10 ? ~std::uint64_t(0) : gen();  // any 64-bit operand
        ASSERT_EQ(mul_shoup(b, make_shoup_factor(w, p), p), std::uint64_t(u128(b) * w % p));
        if (a != 0) {
            ASSERT_EQ(mul_mod(a, inverse_mod(a, p), p), 1u);
        }
        ASSERT_EQ(add_mod(a, w, p), std::uint64_t((u128(a) + w) % p));
        ASSERT_EQ(sub_mod(a, w, p), std::uint64_t((u128(a) + p - w) % p));
    }
}

TEST(ModularArithmetic, ReductionOfSignedBigIntegers) {
    const std::uint64_t p = table_prime(3);
    EXPECT_EQ(reduce_mod(big_int(-1), p), p - 1);
    EXPECT_EQ(reduce_mod(big_int(0), p), 0u);
    const big_int two64 = big_int("18446744073709551616");
    EXPECT_EQ(reduce_mod(two64, p), std::uint64_t((u128(1) << 64) % p));
    EXPECT_EQ(reduce_mod(-(two64 * two64), p), p - std::uint64_t(((u128(1) << 64) % p) * ((u128(1) << 64) % p) % p));
}

// Values of up to the full width with both signs and at the edges of the symmetric range
// come back from their residues: by Garner's method for few primes, up a product tree
// for many, and with primes from beyond the table.
TEST(ChineseRemainder, SymmetricValuesComeBack) {
    std::mt19937_64 gen(11);
    for (const int k : {6, crt_tree_threshold - 1, crt_tree_threshold, 150}) {
        SCOPED_TRACE(std::to_string(k) + " primes");
        std::vector<std::uint64_t> primes;
        big_int modulus(1);
        for (int s = 0; s < k; ++s) {
            primes.push_back(engine_prime(k == 150 ? prime_table_size - 20 + s : 5 * s));
            modulus = modulus * big_int_from_words64(1, &primes[s], 1);
        }
        const big_int half = (modulus - big_int(1)) / big_int(2);
        std::vector<big_int> values = {big_int(0), big_int(1), big_int(-1), half, -half, half - big_int(1)};
        for (int run = 0; run < 100; ++run) {
            // up to 62 k - 2 bits, below M / 2
            std::vector<std::uint64_t> w(1 + gen() % k);
            for (auto& x : w) x = gen() >> 2;
            values.push_back(big_int_from_words64(gen() % 2 ? 1 : -1, w.data(), w.size()) % half);
        }
        std::vector<residue> residues(k * values.size());
        for (int s = 0; s < k; ++s)
            for (std::size_t e = 0; e < values.size(); ++e) residues[s * values.size() + e] = reduce_mod(values[e], primes[s]);
        std::vector<big_int> out(values.size());
        reconstruct_symmetric(residues.data(), primes.data(), k, values.size(), out.data());
        for (std::size_t e = 0; e < values.size(); ++e) EXPECT_TRUE(out[e] == values[e]) << e << ": " << values[e];
    }
}

std::vector<big_int> entries(const matrix<big_int>& a) {
    std::vector<big_int> v;
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) v.push_back(a(i, j));
    return v;
}

// Every minor of every order of small random matrices, computed exactly, is below
// the bound; for a Hadamard matrix, whose determinant meets Hadamard's inequality,
// the bound is within one bit.
TEST(MinorBound, BoundsEveryExactMinor) {
    std::mt19937 gen(5);
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
        const long h = minor_bound_bits(entries(a).data(), m, n);
        const minor_bounds by_order(entries(a).data(), m, n);
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
        const long h = minor_bound_bits(entries(a).data(), 4, 4);
        EXPECT_GE(h, bit_length(det));
        EXPECT_LE(h, bit_length(det) + 1);
        EXPECT_EQ(minor_bounds(entries(a).data(), 4, 4).bits(4), h);
    }
}

} // namespace
} // namespace velmora
