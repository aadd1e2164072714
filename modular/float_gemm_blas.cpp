#include "modular/float_gemm.hpp"

// The one CBLAS function used, declared here so that any CBLAS serves, whatever header
// it comes with: the enumerations of the C interface are ints, row-major 101, no
// transposition 111.
extern "C" void cblas_dgemm(int order, int trans_a, int trans_b, int m, int n, int k, double alpha,
                            const double* a, int lda, const double* b, int ldb, double beta, double* c, int ldc);

#ifndef VELMORA_BLAS_NAME
#define VELMORA_BLAS_NAME "blas"
#endif

namespace velmora::detail {

void gemm_subtract(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc) {
    if (m == 0 || n == 0 || k == 0) return;
    constexpr int row_major = 101, no_transpose = 111;
    cblas_dgemm(row_major, no_transpose, no_transpose, m, n, k, -1.0, a, int(lda), b, int(ldb), 1.0, c, int(ldc));
}

const char* gemm_kernel_name() { return VELMORA_BLAS_NAME; }

} // namespace velmora::detail
