// The LU modulo primes below 2^28 against plain elimination modulo the same prime, on
// seeded matrices: small and long entries, zeros that force row exchanges, sizes on both
// sides of the 256 products that one 64-bit sum holds, and singular ones; and its p-adic
// lifting against exact arithmetic modulo the power of p it reaches.
#include "modular/half_word_lu.hpp"

#include "bigint/arithmetic.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

big_int from_u64(std::uint64_t v) {
    const std::uint64_t w[1] = {v};
    return big_int_from_words64(1, w, 1);
}

// x modulo p by big_int arithmetic, in [0, p).
std::uint64_t mod_p(const big_int& x, std::uint32_t p) {
    big_int r = x % from_u64(p);
    if (r < big_int(0)) r = r + from_u64(p);
    return r.rep().len == 0 ? 0 : r.rep().digits[0];
}

// det of the n-by-n residues w modulo p by elimination with exchanges.
std::uint64_t det_mod(std::vector<std::uint64_t> w, int n, std::uint64_t p) {
    std::uint64_t det = 1;
    for (int k = 0; k < n; ++k) {
        int r = k;
        while (r < n && w[std::size_t(r) * n + k] == 0) ++r;
        if (r == n) return 0;
        if (r != k) {
            for (int j = 0; j < n; ++j) std::swap(w[std::size_t(r) * n + j], w[std::size_t(k) * n + j]);
            det = (p - det) % p;
        }
        const std::uint64_t pivot = w[std::size_t(k) * n + k];
        det = det * pivot % p;
        std::uint64_t inverse = 1;  // pivot^(p-2)
        for (std::uint64_t e = p - 2, b = pivot; e > 0; e >>= 1, b = b * b % p)
            if (e & 1) inverse = inverse * b % p;
        for (int i = k + 1; i < n; ++i) {
            const std::uint64_t f = w[std::size_t(i) * n + k] * inverse % p;
            for (int j = k; j < n; ++j)
                w[std::size_t(i) * n + j] = (w[std::size_t(i) * n + j] + (p - f) * w[std::size_t(k) * n + j]) % p;
        }
    }
    return det;
}

big_int random_entry(std::mt19937_64& gen, int kind) {
    if (kind == 0) return big_int(int(gen() % 19) - 9);
    if (kind == 1) return big_int(int(gen() % (1 << 21)) - (1 << 20) + 1);  // below 2^20
    const std::uint64_t w[3] = {gen(), gen(), gen() % 1000};  // long entries
    return gen() % 2 ? big_int_from_words64(1, w, 3) : -big_int_from_words64(1, w, 3);
}

TEST(HalfWordLu, FactorsAndSolvesAsEliminationModuloP) {
    const std::uint64_t seed = seed_from_environment(41);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    int singular = 0;
    for (int run = 0; run < 40; ++run) {
        const int n = run % 10 == 9 ? 250 + int(gen() % 60) : 1 + int(gen() % 40);
        const int kind = run % 3;
        const std::uint32_t p = half_word_prime(run % 8);
        SCOPED_TRACE("run " + std::to_string(run) + ", n " + std::to_string(n));
        std::vector<big_int> a(std::size_t(n) * n);
        for (auto& x : a) x = gen() % 3 == 0 ? big_int(0) : random_entry(gen, kind);
        if (run % 4 == 1 && n > 1)
            for (int j = 0; j < n; ++j) a[std::size_t(n - 1) * n + j] = a[std::size_t(j)] * big_int(-7);
        std::vector<std::uint64_t> w(a.size());
        for (std::size_t e = 0; e < a.size(); ++e) {
            w[e] = mod_p(a[e], p);
            ASSERT_EQ(residue_mod(a[e], p), w[e]);
        }
        const std::uint64_t det = det_mod(w, n, p);
        half_word_lu lu(n);
        const bool factored = lu.factor(a.data(), std::size_t(n), p);
        ASSERT_EQ(factored, det != 0);
        if (!factored) {
            ++singular;
            continue;
        }
        EXPECT_EQ(lu.determinant(), det);
        std::vector<std::uint32_t> y(n), x(n);
        for (auto& v : y) v = std::uint32_t(gen() % p);
        lu.solve(y.data(), x.data());
        for (int i = 0; i < n; ++i) {
            std::uint64_t s = 0;
            for (int j = 0; j < n; ++j) s = (s + w[std::size_t(i) * n + j] * x[j]) % p;
            ASSERT_EQ(s, y[i]) << "row " << i;
        }
    }
    EXPECT_GT(singular, 5);
}

// Sums of the largest products: A unit lower triangular with -1 below the diagonal, so
// that its factor L holds p - 1 there, and y = A (p - 1, ..., p - 1): the forward
// substitution then sums up to n - 1 products (p - 1)^2, past 2^64 beyond 256 of them.
TEST(HalfWordLu, LongestSumsOfLargestResidues) {
    const int n = 300;
    const std::uint32_t p = half_word_prime(0);
    std::vector<big_int> a(std::size_t(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) a[std::size_t(i) * n + j] = big_int(j == i ? 1 : -1);
    half_word_lu lu(n);
    ASSERT_TRUE(lu.factor(a.data(), std::size_t(n), p));
    std::vector<std::uint32_t> y(n), x(n);
    for (int i = 0; i < n; ++i) y[i] = std::uint32_t((std::uint64_t(p) - 1) * std::uint64_t(1 + (p - 1) * std::uint64_t(i) % p) % p);
    lu.solve(y.data(), x.data());
    for (int i = 0; i < n; ++i) ASSERT_EQ(x[i], p - 1) << "entry " << i;
}

// A (sum of digit s times p^s) = b modulo p^steps, exactly; entries up to 2^20 - 1.
TEST(HalfWordLu, LiftingSolvesModuloPowersOfP) {
    const std::uint64_t seed = seed_from_environment(43);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 30; ++run) {
        const int n = 1 + int(gen() % 30), steps = 1 + int(gen() % 12);
        SCOPED_TRACE("run " + std::to_string(run) + ", n " + std::to_string(n));
        std::vector<big_int> a(std::size_t(n) * n);
        for (auto& x : a) x = run % 2 ? random_entry(gen, 1) : big_int(gen() % 2 ? (1 << 20) - 1 : 1 - (1 << 20));
        ASSERT_TRUE(lifts(a.data(), n, std::size_t(n)));
        std::vector<std::int64_t> b(n);
        for (auto& v : b) v = std::int64_t(gen() % 199) - 99;
        half_word_lu lu(n);
        std::uint32_t p = 0;
        for (int k = 0; k < 8 && p == 0; ++k)
            if (lu.factor(a.data(), std::size_t(n), half_word_prime(k))) p = half_word_prime(k);
        if (p == 0) continue;
        std::vector<std::uint64_t> digits(std::size_t(steps) * n);
        lu.lift(a.data(), std::size_t(n), b.data(), steps, digits.data());
        big_int modulus(1);
        for (int s = 0; s < steps; ++s) modulus = modulus * from_u64(p);
        std::vector<big_int> x(n);
        for (int j = 0; j < n; ++j)
            for (int s = steps; s-- > 0;) {
                ASSERT_LT(digits[std::size_t(s) * n + j], p);
                x[j] = x[j] * from_u64(p) + from_u64(digits[std::size_t(s) * n + j]);
            }
        for (int i = 0; i < n; ++i) {
            big_int r = -big_int(int(b[i]));
            for (int j = 0; j < n; ++j) r = r + a[std::size_t(i) * n + j] * x[j];
            EXPECT_TRUE(r % modulus == big_int(0)) << "row " << i;
        }
    }
    std::vector<big_int> edge = {big_int(1 << 20)};
    EXPECT_FALSE(lifts(edge.data(), 1, 1));
}

} // namespace
} // namespace velmora
