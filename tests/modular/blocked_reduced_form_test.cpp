// The reduced form on known pivot columns by the blocked kernel against the left-looking
// LU's, modulo the same primes below 2^22: the same pivot rows, entries of R and of the
// inverse on the pivot columns, and determinant, on full-row-rank matrices whose pivot
// columns are not the leading ones (zero, repeated and dependent columns, columns that
// vanish modulo the prime), square and nearly square, with small, residue-sized and long
// entries, at sizes around the direct solves' 32 rows and above.
#include "modular/blocked_reduced_form.hpp"

#include "diag/thread_pool.hpp"
#include "modular/float_primes.hpp"
#include "modular/modular_lu.hpp"
#include "support/random_entries.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

// An m-by-n integer matrix, mostly of full row rank: random entries of one kind, then some
// of its n - m spare columns made zero, multiples of p times another or twice another.
std::vector<big_int> random_wide(std::mt19937_64& gen, int m, int n, std::uint32_t p) {
    std::vector<big_int> a = random_entries(gen, std::size_t(m) * n, p);
    const auto at = [&](int i, int j) -> big_int& { return a[std::size_t(i) * n + j]; };
    const int spare = n - m;  // columns that can be lost without the rank falling short
    for (int lost = 0; lost < spare; ++lost) {
        if (gen() % 3 == 0) continue;
        const int j = int(gen() % n), from = int(gen() % n);
        const int how = int(gen() % 3);
        for (int i = 0; i < m; ++i)
            at(i, j) = how == 0 ? big_int(0) : how == 1 ? at(i, from) * big_int(int(p)) : at(i, from) + at(i, from);
    }
    return a;
}

residue in_range(double x, std::uint32_t p) { return residue(x < 0 ? x + p : x); }

// What a comparison met: no full row rank modulo p (nothing compared), or pivot columns
// that are the leading ones or not.
enum class compared { nothing, leading_pivots, other_pivots };

compared expect_same_reduced_form(const std::vector<big_int>& a, int m, int n, std::uint32_t p, bool with_q) {
    std::vector<double> centered(a.size());
    centered_residues(a.data(), a.size(), p, centered.data());
    std::vector<residue> w(a.size());
    for (std::size_t e = 0; e < a.size(); ++e) w[e] = in_range(centered[e], p);
    modular_lu reference(m, n);
    if (reference.factor(w.data(), p) < m) return compared::nothing;
    std::vector<residue> q(with_q ? std::size_t(m) * m : 1);
    residue det = 0;
    reference.reduced_form(w.data(), with_q ? q.data() : nullptr, det);
    blocked_reduced_form form(m, n, with_q);
    std::vector<double> got_q(q.size());
    EXPECT_TRUE(form.make(centered.data(), reference.pivot_cols(), p, with_q ? got_q.data() : nullptr));
    for (int t = 0; t < m; ++t) EXPECT_EQ(form.pivot_rows()[t], reference.pivot_rows()[t]) << "pivot " << t;
    EXPECT_EQ(form.determinant(), det);
    for (std::size_t e = 0; e < w.size(); ++e) {
        EXPECT_LE(std::abs(centered[e]), (p - 1) / 2);
        EXPECT_EQ(in_range(centered[e], p), w[e]) << "entry " << e / n << ", " << e % n;
        if (::testing::Test::HasFailure()) break;
    }
    if (with_q)
        for (std::size_t e = 0; e < q.size() && !::testing::Test::HasFailure(); ++e) {
            EXPECT_EQ(in_range(got_q[e], p), q[e]) << "q entry " << e / m << ", " << e % m;
        }
    return reference.pivot_cols()[m - 1] == m - 1 ? compared::leading_pivots : compared::other_pivots;
}

TEST(BlockedReducedForm, MatchesTheLeftLookingLusOnItsPivotColumns) {
    const std::uint64_t seed = seed_from_environment(41);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const int threads_before = thread_count();
    const int sides[] = {1, 2, 7, 31, 32, 33, 64, 65, 97, 150, 270};
    int counts[3] = {0, 0, 0};
    for (int run = 0; run < 90 && !::testing::Test::HasFailure(); ++run) {
        set_thread_count(run % 2 == 0 ? 1 : 2);
        const int m = sides[gen() % (run % 6 == 0 ? 11 : 9)];
        const int extra[] = {0, 1, 3, m / 3, m, 2 * m + 5};
        const int n = m + extra[gen() % 6];
        const std::uint32_t p = float_prime(int(gen() % 20));
        const bool with_q = gen() % 3 != 0;
        SCOPED_TRACE("run " + std::to_string(run) + ": " + std::to_string(m) + " by " + std::to_string(n) + " mod " +
                     std::to_string(p) + (with_q ? " with Q" : ""));
        ++counts[int(expect_same_reduced_form(random_wide(gen, m, n, p), m, n, p, with_q))];
    }
    set_thread_count(threads_before);
    EXPECT_GE(counts[int(compared::leading_pivots)], 20) << "too few matrices compared on the leading columns";
    EXPECT_GE(counts[int(compared::other_pivots)], 35) << "too few matrices compared on other columns";
}

} // namespace
} // namespace velmora
