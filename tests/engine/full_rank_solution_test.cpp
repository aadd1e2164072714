// The exact solution of a full-row-rank matrix with its images made by the blocked kernel
// modulo primes below 2^22 against the one made by the left-looking LU modulo the engine's
// primes: the same pivot columns and the same integers D B, D Q and D, on matrices whose
// pivot columns are not the leading ones, with short and long entries, square and wide,
// and with the first primes below 2^22 unlucky (a later pivot list, dropped, and a first
// prime whose list is later than the true one, replaced).
#include "engine/full_rank_solution.hpp"

#include "modular/float_primes.hpp"
#include "support/random_matrix.hpp"
#include "support/reference.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

// Solves a with each kernel and expects the same answer, to the integer.
void expect_same_solution(const std::vector<big_int>& a, int m, int n, bool with_b, bool with_q) {
    full_rank_solution word(m, n, with_b, with_q), blocked(m, n, with_b, with_q);
    const bool word_solved = solve_full_row_rank(a.data(), word, false, solution_kernel::word);
    ASSERT_TRUE(word_solved) << "a matrix below full row rank modulo the first engine prime";
    ASSERT_TRUE(solve_full_row_rank(a.data(), blocked, false, solution_kernel::blocked));
    for (int t = 0; t < m; ++t) ASSERT_EQ(blocked.pivots[t], word.pivots[t]) << "pivot " << t;
    ASSERT_EQ(blocked.values.size(), word.values.size());
    for (std::size_t e = 0; e < word.values.size(); ++e)
        ASSERT_TRUE(blocked.values[e] == word.values[e])
            << "value " << e << " of " << word.values.size() << ": " << blocked.values[e] << " instead of "
            << word.values[e];
}

TEST(FullRankSolution, BlockedAndWordKernelsGiveTheSameIntegers) {
    const std::uint64_t seed = seed_from_environment(61);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(static_cast<std::mt19937::result_type>(seed));
    const int sides[] = {1, 3, 8, 33, 40, 70, 130};
    for (int run = 0; run < 40; ++run) {
        const int m = sides[gen() % 7];
        const int extra[] = {0, 1, 2, m / 2, m + 3};
        const int n = m + extra[gen() % 5];
        const bool long_entries = m <= 40 && gen() % 3 == 0;
        matrix<big_int> a = testing::random_matrix(gen, m, n, 9, 10);
        // Some spare columns lost: zero, or a multiple of another column.
        for (int lost = 0; lost < n - m; ++lost) {
            const int j = int(gen() % n), from = int(gen() % n), factor = int(gen() % 3);
            for (int i = 0; i < m; ++i) a(i, j) = a(i, from) * big_int(factor);
        }
        if (long_entries)
            for (int i = 0; i < m; ++i)
                for (int j = 0; j < n; ++j)
                    if (gen() % 4 == 0) a(i, j) = a(i, j) * big_int(int(gen() >> 2)) * big_int(int(gen() >> 2)) + big_int(1);
        const bool with_b = gen() % 4 != 0, with_q = !with_b || gen() % 2 == 0;
        SCOPED_TRACE("run " + std::to_string(run) + ": " + std::to_string(m) + " by " + std::to_string(n) +
                     (long_entries ? ", long entries" : "") + (with_b ? ", B" : "") + (with_q ? ", Q" : ""));
        expect_same_solution(testing::row_major_entries(a), m, n, with_b, with_q);
    }
}

TEST(FullRankSolution, BlockedKernelPassesOverUnluckyPrimesBelowTwoToThe22) {
    const std::uint64_t seed = seed_from_environment(62);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(static_cast<std::mt19937::result_type>(seed));
    // Column 0 becomes f x and column 1 x, f a product of primes below 2^22: over the
    // integers column 1 depends on column 0, the pivot list starts 0, 2; modulo those primes
    // column 0 vanishes and the list starts 1, 2. With the first three primes unlucky the
    // first list is replaced; with the second and third, their lists are dropped.
    for (const int first_unlucky : {0, 1})
        for (const int m : {12, 90}) {
            big_int f(1);
            for (int s = first_unlucky; s < 3; ++s) f = f * big_int(int(float_prime(s)));
            const int n = m + 4;
            matrix<big_int> a = testing::random_matrix(gen, m, n, 9, 0);
            for (int i = 0; i < m; ++i) {
                a(i, 1) = a(i, 0);
                a(i, 0) = a(i, 0) * f;
            }
            SCOPED_TRACE(std::to_string(m) + " by " + std::to_string(n) + ", unlucky from prime " +
                         std::to_string(first_unlucky));
            expect_same_solution(testing::row_major_entries(a), m, n, true, true);
            full_rank_solution s(m, n, true, false);
            ASSERT_TRUE(solve_full_row_rank(testing::row_major_entries(a).data(), s, true, solution_kernel::blocked));
            EXPECT_EQ(s.pivots[0], 0);
            EXPECT_EQ(s.pivots[1], 2);
        }
}

// Below full row rank the first prime of either kernel says so, when the rank is not known.
TEST(FullRankSolution, BothKernelsTellARankBelowTheRows) {
    const std::uint64_t seed = seed_from_environment(63);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937 gen(static_cast<std::mt19937::result_type>(seed));
    const int m = 50, n = 80;
    const std::vector<big_int> a = testing::row_major_entries(testing::random_rank_matrix(gen, m, n, m - 1, 9));
    for (const solution_kernel kernel : {solution_kernel::word, solution_kernel::blocked}) {
        full_rank_solution s(m, n, true, true);
        EXPECT_FALSE(solve_full_row_rank(a.data(), s, false, kernel));
    }
}

} // namespace
} // namespace velmora
