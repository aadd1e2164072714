// The determinant from a p-adic solution against fraction-free elimination: random
// matrices with small and long entries, matrices whose Smith form has large invariant
// factors (so that the solution's denominator is only part of det), one larger matrix,
// and matrices singular over the integers or modulo the first primes, which it refuses;
// each also with a bound on det given, which takes small entries to the narrow primes.
#include "engine/padic_det.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/words.hpp"
#include "diag/report.hpp"
#include "diag/testing.hpp"
#include "diag/thread_pool.hpp"
#include "modular/half_word_lu.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/prime_source.hpp"
#include "modular/residue.hpp"
#include "support/reference.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

big_int random_value(std::mt19937_64& gen, int range, bool long_entries) {
    big_int x(int(gen() % (2 * range + 1)) - range);
    if (long_entries) x = x * big_int(1 << 30) * big_int(1 << 30) * big_int(1 << 30) + big_int(int(gen() % 1000));
    return x;
}

TEST(PadicDeterminant, MatchesFractionFreeElimination) {
    const std::uint64_t seed = seed_from_environment(23);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const int threads_before = thread_count();
    int refused = 0;
    for (int run = 0; run < 120; ++run) {
        const int n = 1 + int(gen() % 24);
        const bool long_entries = run % 5 == 0;
        matrix<big_int> a(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a(i, j) = random_value(gen, run % 3 == 0 ? 1 : 9, long_entries);
        if (run % 4 == 1) {
            // Rows scaled by a common factor: det gains factor^n, the denominator only factor.
            // A factor of 40 bits makes det A / d need more primes than the thread that
            // finds them while the other lifts.
            const big_int f = run % 8 == 1 ? big_int(1 << 20) * big_int(1 << 20) + big_int(int(gen() % 1000))
                                           : big_int(2 + int(gen() % 30));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) a(i, j) = a(i, j) * f;
        }
        if (run % 7 == 3 && n > 1)
            for (int j = 0; j < n; ++j) a(n - 1, j) = a(0, j) * big_int(3);  // singular
        SCOPED_TRACE("run " + std::to_string(run) + ", n " + std::to_string(n));
        const big_int expected = testing::bareiss_det(a);
        const std::vector<big_int> e = testing::row_major_entries(a);
        // On one thread, and on two (the cofactor's primes found beside the lifting).
        for (int threads = 1; threads <= 2; ++threads) {
            set_thread_count(threads);
            big_int det(12345);
            // Work given to run beside runs once, whatever the result.
            int beside_runs = 0;
            const side_work count_run{[](void* c) { ++*static_cast<int*>(c); }, &beside_runs};
            reset_diagnostics();
            const bool found = padic_determinant(e.data(), n, std::size_t(n), det, count_run);
            EXPECT_EQ(beside_runs, 1);
            // No step reports: the denominator's reconstruction works modulo p^steps, never
            // a zero modulus (whose division by zero would report, though det would still
            // come out right, from primes alone).
            EXPECT_FALSE(report_written());
            if (!found) {
                ++refused;
                EXPECT_TRUE(expected == big_int(0)) << "refused a nonsingular matrix";
                EXPECT_TRUE(det == big_int(12345));
                continue;
            }
            EXPECT_TRUE(det == expected) << det << " instead of " << expected << " on " << threads << " threads";
            // With a bound on det from beside: small entries lift modulo a prime below
            // 2^28, which alone gives the cofactor when the bound leaves it small.
            struct bound_work {
                long bits;
                big_int det;
            } bound{-1, expected};
            const side_work bounding{[](void* c) {
                                         bound_work& w = *static_cast<bound_work*>(c);
                                         w.bits = bit_length(w.det) + 1;
                                     },
                                     &bound, &bound.bits};
            big_int bounded;
            ASSERT_TRUE(padic_determinant(e.data(), n, std::size_t(n), bounded, bounding));
            EXPECT_FALSE(report_written());
            EXPECT_TRUE(bounded == expected) << bounded << " instead of " << expected << " with a bound";
        }
    }
    set_thread_count(threads_before);
    EXPECT_GT(refused, 0);  // the singular ones
}

// The leading block of a wider matrix (row stride beyond n), and a block singular modulo
// the first prime only.
TEST(PadicDeterminant, LeadingBlockAndUnluckyFirstPrime) {
    const std::uint64_t seed = seed_from_environment(5);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const int n = 20;
    matrix<big_int> wide(n, n + 3);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n + 3; ++j) wide(i, j) = random_value(gen, 9, false);
    matrix<big_int> block(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) block(i, j) = wide(i, j);
    big_int det;
    const std::vector<big_int> e = testing::row_major_entries(wide);
    ASSERT_TRUE(padic_determinant(e.data(), n, std::size_t(n + 3), det));
    EXPECT_TRUE(det == testing::bareiss_det(block));

    const std::uint64_t w[2] = {engine_prime(0), 0};
    const big_int p0 = big_int_from_words64(1, w, 1);
    for (int j = 0; j < n; ++j) block(0, j) = block(0, j) * p0;  // det divisible by the first prime
    const std::vector<big_int> scaled = testing::row_major_entries(block);
    ASSERT_TRUE(padic_determinant(scaled.data(), n, std::size_t(n), det));
    EXPECT_TRUE(det == testing::bareiss_det(block));

    // The same with the first prime below 2^28, with a bound given (see above), and entries
    // small enough for that prime: the leading 2-by-2 block has det p, the rest of the
    // first two columns is 0, and other rows then take the first row's multiples.
    const int p = int(half_word_prime(0));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) block(i, j) = i >= 2 && j < 2 ? big_int(0) : wide(i, j);
    block(0, 0) = block(1, 1) = big_int(1 << 14);
    block(0, 1) = big_int(1);
    block(1, 0) = big_int((1 << 28) - p);
    for (int i = 2; i < n; i += 3)
        for (int j = 0; j < n; ++j) block(i, j) = block(i, j) + block(0, j);
    const std::vector<big_int> narrow = testing::row_major_entries(block);
    ASSERT_TRUE(lifts(narrow.data(), n, std::size_t(n)));
    half_word_lu first(n);
    ASSERT_FALSE(first.factor(narrow.data(), std::size_t(n), std::uint32_t(p)));
    const big_int expected = testing::bareiss_det(block);
    long bits = bit_length(expected) + 1;
    const side_work bounded{[](void*) {}, nullptr, &bits};
    ASSERT_TRUE(padic_determinant(narrow.data(), n, std::size_t(n), det, bounded));
    EXPECT_TRUE(det == expected);

    // Block upper triangular with such 2-by-2 blocks for each of the first three narrow
    // primes: all three divide det, and word-size primes lift instead.
    matrix<big_int> three(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) three(i, j) = j < 6 && i >= (j / 2) * 2 + 2 ? big_int(0) : wide(i, j);
    for (int k = 0; k < 3; ++k) {
        three(2 * k, 2 * k) = three(2 * k + 1, 2 * k + 1) = big_int(1 << 14);
        three(2 * k, 2 * k + 1) = big_int(1);
        three(2 * k + 1, 2 * k) = big_int((1 << 28) - int(half_word_prime(k)));
    }
    const std::vector<big_int> unlucky = testing::row_major_entries(three);
    const big_int unlucky_det = testing::bareiss_det(three);
    for (int k = 0; k < 3; ++k) ASSERT_FALSE(first.factor(unlucky.data(), std::size_t(n), half_word_prime(k)));
    long unlucky_bits = bit_length(unlucky_det) + 1;
    const side_work unlucky_bound{[](void*) {}, nullptr, &unlucky_bits};
    ASSERT_TRUE(padic_determinant(unlucky.data(), n, std::size_t(n), det, unlucky_bound));
    EXPECT_TRUE(det == unlucky_det);
}

// Guards the bound on the cofactor det A / d, which chooses between one narrow prime and
// word-size primes: diag(u, u, w, w) with coprime u, w below 2^20 has d = u w = c, and with
// u w just above 2^27 and the tightest bound on det (its bit length) a bound on c two bits
// short would pass c to the narrow prime (below 2^28), too small for it.
TEST(PadicDeterminant, CofactorJustBeyondTheNarrowPrime) {
    const big_int u(12289);
    for (int w = 11001; w < 15000; w += 202) {
        matrix<big_int> a(4, 4);
        a(0, 0) = a(1, 1) = u;
        a(2, 2) = a(3, 3) = big_int(w);
        const std::vector<big_int> e = testing::row_major_entries(a);
        ASSERT_TRUE(lifts(e.data(), 4, 4));
        const big_int expected = testing::bareiss_det(a);
        long bits = bit_length(expected);  // |det| < 2^bits, as tight as a bound can be
        const side_work bounded{[](void*) {}, nullptr, &bits};
        big_int det;
        ASSERT_TRUE(padic_determinant(e.data(), 4, 4, det, bounded)) << "w " << w;
        EXPECT_TRUE(det == expected) << det << " instead of " << expected << " for w " << w;
    }
}

// Guards the primes of the cofactor on two threads: when the first prime divides det, the
// lifting runs modulo the second, which is also the first of the primes found beside it,
// and must not be counted twice. Rows scaled by a common factor of 40 bits make the
// cofactor need several primes.
TEST(PadicDeterminant, LiftingPrimeAmongThePrimesFoundBeside) {
    const std::uint64_t seed = seed_from_environment(31);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const int threads_before = thread_count();
    set_thread_count(2);
    const std::uint64_t w[1] = {engine_prime(0)};
    const big_int p0 = big_int_from_words64(1, w, 1);
    for (int run = 0; run < 20; ++run) {
        const int n = 2 + int(gen() % 10);
        const big_int f = big_int(1 << 20) * big_int(1 << 20) + big_int(int(gen() % 1000));
        matrix<big_int> a(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a(i, j) = random_value(gen, 9, false) * (i == 0 ? p0 : f);
        const big_int expected = testing::bareiss_det(a);
        if (expected == big_int(0)) continue;
        const std::vector<big_int> e = testing::row_major_entries(a);
        big_int det;
        ASSERT_TRUE(padic_determinant(e.data(), n, std::size_t(n), det)) << "run " << run;
        EXPECT_TRUE(det == expected) << det << " instead of " << expected << " in run " << run;
    }
    set_thread_count(threads_before);
}

} // namespace
} // namespace velmora
