// The pivot search in doubles and its proof against the exact search in rationals, on
// seeded random matrices with row scales: generic tall and square ones (where the proof
// must succeed often), rows that tie exactly or within 2^-70, rows so close to
// combinations of others that the doubles lose them (where a guess may be wrong and must
// then go unproven), and rows of magnitudes far apart. A proven guess also bounds the
// determinant on its rows, and passes the cheap test that comes before the proof.
// Rerun one case with VELMORA_SEED=<n>.
#include "engine/pivot_guess.hpp"

#include "bigint/arithmetic.hpp"
#include "rational/rational.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace velmora {
namespace {

using number = rational<big_int>;

number magnitude(const number& x) { return x < number(0) ? -x : x; }

// The rows the exact search takes on the m-by-r matrix x (row-major): largest magnitude,
// the topmost by position of equals, exchanged with the row at the step's position.
std::vector<int> exact_rows(std::vector<number> x, int m, int r) {
    std::vector<int> row_at(m), rows;
    for (int k = 0; k < m; ++k) row_at[k] = k;
    for (int t = 0; t < r; ++t) {
        int best = -1;
        for (int e = t; e < m; ++e) {
            const number& v = x[std::size_t(row_at[e]) * r + t];
            if (v != number(0) && (best < 0 || magnitude(x[std::size_t(row_at[best]) * r + t]) < magnitude(v)))
                best = e;
        }
        if (best < 0) return rows;
        std::swap(row_at[t], row_at[best]);
        const int p = row_at[t];
        rows.push_back(p);
        for (int e = t + 1; e < m; ++e) {
            const int k = row_at[e];
            const number f = x[std::size_t(k) * r + t] / x[std::size_t(p) * r + t];
            for (int c = t; c < r; ++c) x[std::size_t(k) * r + c] = x[std::size_t(k) * r + c] - f * x[std::size_t(p) * r + c];
        }
    }
    return rows;
}

// The determinant of the r-by-r matrix x (row-major), by elimination in rationals.
number determinant(std::vector<number> x, int r) {
    number det(1);
    for (int t = 0; t < r; ++t) {
        int p = t;
        while (p < r && x[std::size_t(p) * r + t] == number(0)) ++p;
        if (p == r) return number(0);
        if (p != t) {
            for (int c = 0; c < r; ++c) std::swap(x[std::size_t(p) * r + c], x[std::size_t(t) * r + c]);
            det = -det;
        }
        det = det * x[std::size_t(t) * r + t];
        for (int k = t + 1; k < r; ++k) {
            const number f = x[std::size_t(k) * r + t] / x[std::size_t(t) * r + t];
            for (int c = t; c < r; ++c) x[std::size_t(k) * r + c] = x[std::size_t(k) * r + c] - f * x[std::size_t(t) * r + c];
        }
    }
    return det;
}

big_int power_of_two(int e) { return e == 0 ? big_int(1) : big_int(2) * power_of_two(e - 1); }

big_int random_int(std::mt19937_64& gen, int bits) {
    big_int v(0);
    for (int b = 0; b < bits; b += 16) v = v * big_int(1 << 16) + big_int(int(gen() % (1 << 16)));
    return gen() % 2 ? v : -v;
}

enum class shape { generic, ties, near_dependent, graded, count };

// Runs the guess and the proof on one seeded case; returns whether the proof held, and
// counts in wrong the guesses that differ from the exact search.
bool run_case(unsigned seed, shape s, int& wrong) {
    std::mt19937_64 gen(seed);
    const int r = 1 + int(gen() % 12);
    const int m = r + int(gen() % (r + 4));
    const int n = r + int(gen() % 3);
    const int bits = s == shape::generic ? 4 + int(gen() % 40) : 8;
    std::vector<big_int> a(std::size_t(m) * n), scales(m, big_int(1));
    std::vector<int> cols(r);
    for (int c = 0; c < r; ++c) cols[c] = c + (n - r);  // the pivot columns: the last r
    for (auto& v : a) v = random_int(gen, bits);
    for (int k = 0; k < m; ++k)
        if (gen() % 3 == 0) scales[k] = big_int(1 + int(gen() % 1000));
    if (s == shape::ties) {
        // Rows that are another row, negated or not, scaled as that row (equal magnitudes),
        // or that row times 1 + 2^-70 (equal in doubles, which may round them either way).
        const big_int lift = power_of_two(70);
        for (int k = 1; k < m; ++k)
            if (gen() % 2) {
                const int i = int(gen() % k);
                const big_int sign(gen() % 2 ? 1 : -1), f(1 + int(gen() % 3));
                const bool near = gen() % 2;
                const big_int up = near ? f * (lift + big_int(1)) : f, down = near ? f * lift : f;
                for (int j = 0; j < n; ++j) a[std::size_t(k) * n + j] = a[std::size_t(i) * n + j] * sign * up;
                scales[k] = scales[i] * down;
            }
        if (m > 1 && gen() % 2) {
            // The first row leads the first step, and the last one is it times 1 + 2^-70:
            // the doubles see them equal or, rounded apart, either one larger.
            // An odd factor of 40 bits makes both roundings of the quotient inexact.
            const big_int f = power_of_two(40) - big_int(1 + 2 * int(gen() % 1000));
            const big_int up = f * (lift + big_int(1)), down = f * lift;
            a[std::size_t(n - r)] = random_int(gen, 64);
            for (int j = 0; j < n; ++j) a[std::size_t(m - 1) * n + j] = a[std::size_t(j)] * up;
            scales[m - 1] = scales[0] * down;
        }
    } else if (s == shape::graded) {
        // Rows of magnitudes up to 2^30 apart: small pivots beside large entries, which the
        // proof still covers and the cheap test must let through.
        for (int k = 0; k < m; ++k) scales[k] = power_of_two(int(gen() % 31));
    } else if (s == shape::near_dependent) {
        // Rows 2^-60 (relatively) away from small combinations of the first rows: their
        // entries after elimination fall below the doubles' resolution.
        const big_int lift = power_of_two(60);
        // With every other row near, the steps after the first few choose among rows whose
        // doubles are rounding errors only.
        const int sources = 1 + int(gen() % std::max(1, r - 1));
        const bool all_near = gen() % 2;
        for (int k = sources; k < m; ++k) {
            if (!all_near && gen() % 4 == 0) continue;
            for (int j = 0; j < n; ++j) {
                big_int v(0);
                for (int i = 0; i < sources; ++i) v = v + a[std::size_t(i) * n + j] * big_int(int(gen() % 5) - 2);
                a[std::size_t(k) * n + j] = v * lift + random_int(gen, 4);
            }
            scales[k] = lift;
        }
        for (int i = 0; i < sources; ++i) scales[i] = big_int(1);
    }
    std::vector<number> x(std::size_t(m) * r);
    for (int k = 0; k < m; ++k)
        for (int c = 0; c < r; ++c) x[std::size_t(k) * r + c] = number(a[std::size_t(k) * n + cols[c]], scales[k]);
    const std::vector<int> expected = exact_rows(x, m, r);
    pivot_guess guess(m, r);
    if (!guess_pivot_rows(a.data(), n, scales.data(), cols.data(), guess)) return false;
    if (!std::equal(expected.begin(), expected.end(), guess.rows.data()) || int(expected.size()) != r) ++wrong;
    // The proof's products by the search's own rows and on the per-prime kernel's seam:
    // each, when it holds, must be right; on generic matrices, whose margins are wide, the
    // two hold alike.
    int proofs = 0;
    for (const proof_products products : {proof_products::rows, proof_products::seam}) {
        SCOPED_TRACE(products == proof_products::rows ? "products by rows" : "products on the seam");
        long det_bits = -1;
        if (!prove_pivot_rows(guess, &det_bits, products)) continue;
        ++proofs;
        // The cheap test never turns away a guess that the proof holds.
        EXPECT_TRUE(may_prove_pivot_rows(guess));
        EXPECT_EQ(int(expected.size()), r) << "proven, but a column has no pivot";
        for (int t = 0; t < r && t < int(expected.size()); ++t) EXPECT_EQ(guess.rows[t], expected[t]) << "step " << t;
        // The bound on |det X_P| holds, and on generic matrices it is within 3 bits of it.
        std::vector<number> x_p(std::size_t(r) * r);
        for (int t = 0; t < r; ++t)
            std::copy_n(x.begin() + std::ptrdiff_t(guess.rows[t]) * r, r, x_p.begin() + std::ptrdiff_t(t) * r);
        const number det = magnitude(determinant(x_p, r));
        const auto below = [&](long b) {  // |det X_P| < 2^b
            return b >= 0 ? det.numerator < power_of_two(int(b)) * det.denominator
                          : det.numerator * power_of_two(int(-b)) < det.denominator;
        };
        EXPECT_TRUE(below(det_bits)) << "bound " << det_bits;
        if (s == shape::generic) {
            EXPECT_FALSE(below(det_bits - 3)) << "bound " << det_bits;
        }
    }
    if (s == shape::generic) {
        EXPECT_NE(proofs, 1) << "one way of taking the products proves, the other not";
    }
    return proofs > 0;
}

TEST(PivotGuess, ProvenGuessesAreTheExactSearch) {
    // VELMORA_SEED runs that one case alone; otherwise 1600 cases from a fixed base.
    const bool one = std::getenv("VELMORA_SEED") != nullptr;
    const unsigned base = unsigned(seed_from_environment(20240615));
    int proven[int(shape::count)] = {}, runs[int(shape::count)] = {}, wrong = 0;
    for (unsigned run = 0; run < (one ? 1u : 1600u); ++run) {
        const shape s = static_cast<shape>((base + run) % int(shape::count));
        SCOPED_TRACE(seed_trace(base + run) + ", shape " + std::to_string(int(s)));
        ++runs[int(s)];
        if (run_case(base + run, s, wrong)) ++proven[int(s)];
        if (::testing::Test::HasFailure()) break;
    }
    // Generic matrices have margins far above the doubles' errors: most are proven. The
    // near ties and near dependences do lead the doubles astray, so the proof is tested:
    // 400 runs of each shape make some 13 to 30 wrong guesses.
    if (!one) {
        EXPECT_GT(proven[int(shape::generic)], runs[int(shape::generic)] / 2);
        EXPECT_GT(wrong, 5);
    }
}

// A matrix whose entries lie beyond the range of doubles gives no guess.
TEST(PivotGuess, EntriesBeyondDoublesGiveNoGuess) {
    const big_int huge = power_of_two(1100);
    std::vector<big_int> a = {huge, big_int(1), big_int(1), big_int(2)};
    std::vector<big_int> scales = {big_int(1), big_int(1)};
    std::vector<int> cols = {0, 1};
    pivot_guess guess(2, 2);
    EXPECT_FALSE(guess_pivot_rows(a.data(), 2, scales.data(), cols.data(), guess));
    a[0] = big_int(3);
    EXPECT_TRUE(guess_pivot_rows(a.data(), 2, scales.data(), cols.data(), guess));
    EXPECT_TRUE(prove_pivot_rows(guess));
    EXPECT_EQ(guess.rows[0], 0);
    EXPECT_EQ(guess.rows[1], 1);
}

} // namespace
} // namespace velmora
