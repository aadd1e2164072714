// The left-looking LU against the row-by-row eliminations modulo a prime that it stands in
// for: the same rank, pivot rows and columns and pivot product as the Gaussian
// elimination, and at full row rank the same reduced form, inverse part and determinant
// as the Gauss-Jordan elimination of [W | I]; on random matrices of every shape with
// dependent rows, zero columns and entries that vanish modulo the prime.
#include "support/reference_echelon.hpp"
#include "modular/modular_lu.hpp"
#include "modular/prime_source.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

std::vector<residue> random_matrix(std::mt19937_64& gen, int m, int n, std::uint64_t p) {
    std::vector<residue> w(std::size_t(m) * n);
    const int kind = int(gen() % 3);
    for (auto& x : w) x = kind == 0 ? gen() % p : gen() % 3;  // small entries: many zeros and ties
    // Some rows combinations of earlier ones, some columns zero.
    for (int i = 1; i < m; ++i)
        if (gen() % 4 == 0)
            for (int j = 0; j < n; ++j)
                w[std::size_t(i) * n + j] = add_mod(w[std::size_t(i - 1) * n + j], w[j], p);
    for (int j = 0; j < n; ++j)
        if (gen() % 6 == 0)
            for (int i = 0; i < m; ++i) w[std::size_t(i) * n + j] = 0;
    return w;
}

TEST(ModularLu, MatchesTheEliminationsItReplaces) {
    const std::uint64_t seed = seed_from_environment(17);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 600; ++run) {
        const std::uint64_t p = engine_prime(int(gen() % 50));
        const int m = 1 + int(gen() % 12), n = 1 + int(gen() % 15);
        SCOPED_TRACE("run " + std::to_string(run) + ": " + std::to_string(m) + " by " + std::to_string(n));
        const std::vector<residue> w = random_matrix(gen, m, n, p);
        const int most = std::min(m, n);

        std::vector<residue> gauss = w;
        std::vector<int> rows(most), cols(most);
        residue product = 0;
        const int rank = modular_row_echelon(gauss.data(), m, n, p, rows.data(), cols.data(), product);
        modular_lu lu(m, n);
        ASSERT_EQ(lu.factor(w.data(), p), rank);
        ASSERT_EQ(lu.pivot_product(), product);
        for (int t = 0; t < rank; ++t) {
            ASSERT_EQ(lu.pivot_rows()[t], rows[t]);
            ASSERT_EQ(lu.pivot_cols()[t], cols[t]);
        }
        if (rank < m) continue;

        std::vector<residue> jordan = w, q(std::size_t(m) * m), lu_w = w, lu_q(std::size_t(m) * m);
        residue det = 0, lu_det = 0;
        ASSERT_EQ(modular_echelon(jordan.data(), q.data(), m, n, p, rows.data(), cols.data(), det), m);
        lu.reduced_form(lu_w.data(), lu_q.data(), lu_det);
        if (m == n) {
            // x = W^-1 y: W x is y again.
            std::vector<residue> y(m), x(m);
            for (auto& v : y) v = gen() % p;
            lu.solve(y.data(), x.data());
            for (int i = 0; i < m; ++i) {
                residue sum = 0;
                for (int j = 0; j < n; ++j) sum = add_mod(sum, mul_mod(w[std::size_t(i) * n + j], x[j], p), p);
                ASSERT_EQ(sum, y[i]) << "row " << i;
            }
        }
        ASSERT_EQ(lu_det, det);
        for (int t = 0; t < m; ++t) {
            const int k = rows[t];
            for (int c = 0; c < n; ++c) ASSERT_EQ(lu_w[std::size_t(k) * n + c], jordan[std::size_t(k) * n + c]) << c;
            for (int u = 0; u < m; ++u) ASSERT_EQ(lu_q[std::size_t(k) * m + u], q[std::size_t(k) * m + u]) << u;
        }
    }
}

} // namespace
} // namespace velmora
