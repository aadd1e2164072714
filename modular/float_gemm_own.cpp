#include "modular/float_gemm.hpp"

#include <algorithm>

namespace velmora::detail {

namespace {

// Blocks of B that stay in the caches while the rows of A pass over them.
constexpr int column_block = 512;
constexpr int depth_block = 128;

// One block: C[:, j0 .. j1) -= A[:, k0 .. k1) B[k0 .. k1, j0 .. j1). The inner loop runs
// along a row of C and of B, which the compiler makes vector operations; compiled for
// the wider vector units too.
VELMORA_VECTOR_CLONES void
block_subtract(int m, int j0, int j1, int k0, int k1, const double* a, std::size_t lda, const double* b,
               std::size_t ldb, double* c, std::size_t ldc) {
    for (int i = 0; i < m; ++i) {
        double* __restrict row = c + std::size_t(i) * ldc;
        const double* a_row = a + std::size_t(i) * lda;
        int t = k0;
        // Four rows of B per pass over the row of C: a quarter of its loads and stores.
        for (; t + 4 <= k1; t += 4) {
            const double x0 = a_row[t], x1 = a_row[t + 1], x2 = a_row[t + 2], x3 = a_row[t + 3];
            const double* __restrict b0 = b + std::size_t(t) * ldb;
            const double* __restrict b1 = b0 + ldb;
            const double* __restrict b2 = b1 + ldb;
            const double* __restrict b3 = b2 + ldb;
            for (int j = j0; j < j1; ++j) row[j] -= x0 * b0[j] + x1 * b1[j] + x2 * b2[j] + x3 * b3[j];
        }
        for (; t < k1; ++t) {
            const double x = a_row[t];
            const double* __restrict b0 = b + std::size_t(t) * ldb;
            for (int j = j0; j < j1; ++j) row[j] -= x * b0[j];
        }
    }
}

} // namespace

void gemm_subtract_own(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc) {
    for (int j0 = 0; j0 < n; j0 += column_block)
        for (int k0 = 0; k0 < k; k0 += depth_block)
            block_subtract(m, j0, std::min(n, j0 + column_block), k0, std::min(k, k0 + depth_block), a, lda, b, ldb,
                           c, ldc);
}

} // namespace velmora::detail
