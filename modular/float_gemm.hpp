// The seam under subtract_product: C := C - A B in doubles, exact while every partial sum
// is an integer below 2^53 (see float_products.hpp). Our own loops (float_gemm_own.cpp) are
// always compiled in; a library configured with a BLAS loads it when a product first asks
// for it (float_gemm_blas.cpp), else the own loops serve (float_gemm_plain.cpp). Every
// kernel gives the same exact values.
#pragma once

#include <cstddef>

// Loops compiled for the wider vector units too (GCC on x86-64), the widest the processor
// has taken at run time; the values are the same on every unit. The clones are named by
// instruction-set level (v4: AVX-512, v3: AVX2 and FMA), which the loader tests by the
// processor's features: a clone named for a processor model is taken only on that model,
// so that one for Intel's Skylake left AMD's processors with AVX-512 on the plain loops.
// Not under ThreadSanitizer, whose run time is not ready when the choice is made at load
// time.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__)
#define VELMORA_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define VELMORA_VECTOR_CLONES
#endif

namespace velmora::detail {

// C (m-by-n) -= A (m-by-k) B (k-by-n), row-major with row strides lda, ldb, ldc, by the
// kernel chosen.
void gemm_subtract(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc);

// The same by our own loops.
void gemm_subtract_own(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc);

// The name of the kernel that serves, as float_product_kernel gives it.
const char* gemm_kernel_name();

} // namespace velmora::detail
