#include "modular/float_gemm.hpp"

namespace velmora::detail {

void gemm_subtract(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc) {
    gemm_subtract_own(m, n, k, a, lda, b, ldb, c, ldc);
}

const char* gemm_kernel_name() { return "own"; }

} // namespace velmora::detail
