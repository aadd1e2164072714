#include "modular/float_products.hpp"

#include "diag/thread_pool.hpp"
#include "modular/float_gemm.hpp"
#include "modular/residue.hpp"

#include <algorithm>

namespace velmora {

namespace {

// Products below this many multiply-adds stay on the calling thread: the threads'
// hand-over costs some microseconds.
constexpr double parallel_products = double(1 << 19);

// Rows (or columns) of C per piece when the product is spread: enough that each piece's
// own kernel call runs at full speed.
constexpr int least_piece_rows = 32;
constexpr int least_piece_columns = 128;

// C := C - A B for the rows of one piece, a block of float_block_products products at a
// time, each followed by a reduction, so that no partial sum leaves the exact range.
void subtract_rows(double* c, std::size_t ldc, const double* a, std::size_t lda, const double* b,
                   std::size_t ldb, int m, int n, int k, const float_modulus& f) {
    for (int k0 = 0; k0 < k; k0 += float_block_products) {
        const int depth = std::min(float_block_products, k - k0);
        detail::gemm_subtract(m, n, depth, a + k0, lda, b + std::size_t(k0) * ldb, ldb, c, ldc);
        reduce_block(c, ldc, m, n, f);
    }
}

} // namespace

double float_modulus::inverse_of(double a) const {
    const std::uint64_t q = std::uint64_t(p);
    return reduce(double(inverse_mod(residue(a < 0 ? a + p : a), q)));
}

const char* float_product_kernel() { return detail::gemm_kernel_name(); }

VELMORA_VECTOR_CLONES void
reduce_block(double* c, std::size_t ldc, int m, int n, const float_modulus& f) {
    const float_modulus g = f;  // a local copy: the loop needs no reloads through the reference
    for (int i = 0; i < m; ++i) {
        double* __restrict row = c + std::size_t(i) * ldc;
        for (int j = 0; j < n; ++j) row[j] = g.reduce(row[j]);
    }
}

void subtract_product(double* c, std::size_t ldc, const double* a, std::size_t lda, const double* b,
                      std::size_t ldb, int m, int n, int k, const float_modulus& f) {
    if (m <= 0 || n <= 0 || k <= 0) return;
    const int threads = double(m) * n * k < parallel_products ? 1 : thread_count();
    // Pieces of rows where there are rows enough, else of columns (the thin products of
    // the triangular solves): each piece is C's rows (or columns) times A's rows (or B's
    // columns), as the whole product's.
    const int row_pieces = std::max(1, std::min(threads, m / least_piece_rows));
    const int col_pieces = std::max(1, std::min(threads, n / least_piece_columns));
    if (row_pieces == 1 && col_pieces == 1) {
        subtract_rows(c, ldc, a, lda, b, ldb, m, n, k, f);
        return;
    }
    if (row_pieces > 1) {
        parallel_for(std::size_t(row_pieces), [&](std::size_t s) {
            const int begin = int(std::size_t(m) * s / row_pieces), end = int(std::size_t(m) * (s + 1) / row_pieces);
            subtract_rows(c + std::size_t(begin) * ldc, ldc, a + std::size_t(begin) * lda, lda, b, ldb, end - begin, n,
                          k, f);
        });
        return;
    }
    parallel_for(std::size_t(col_pieces), [&](std::size_t s) {
        const int begin = int(std::size_t(n) * s / col_pieces), end = int(std::size_t(n) * (s + 1) / col_pieces);
        subtract_rows(c + begin, ldc, a, lda, b + begin, ldb, m, end - begin, k, f);
    });
}

} // namespace velmora
