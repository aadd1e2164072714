#include "modular/float_gemm.hpp"

#include <dlfcn.h>
#include <sys/mman.h>

#include <mutex>

#ifndef VELMORA_BLAS_NAME
#define VELMORA_BLAS_NAME "blas"
#endif
#ifndef VELMORA_BLAS_FILE
#define VELMORA_BLAS_FILE "libblas.so.3"
#endif

namespace velmora::detail {

namespace {

// The one CBLAS function used, found by name so that any CBLAS serves: the enumerations of
// the C interface are ints, row-major 101, no transposition 111.
using dgemm_function = void (*)(int order, int trans_a, int trans_b, int m, int n, int k, double alpha,
                                const double* a, int lda, const double* b, int ldb, double beta, double* c, int ldc);

// Address space that must be free before the library is loaded: its start-up maps buffers
// of some 40 MB and was seen to crash, not fail, when a memory limit refused them. Refused
// here, the own loops serve instead, with the same values.
constexpr std::size_t load_headroom = std::size_t(128) << 20;

// The BLAS is loaded when a product first needs it, not with the program: a run that
// factors no large matrix starts as fast and under as small a memory limit as without it.
dgemm_function dgemm = nullptr;
std::once_flag load_once;

void load_blas() {
    void* room = mmap(nullptr, load_headroom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) return;
    munmap(room, load_headroom);
    void* library = dlopen(VELMORA_BLAS_FILE, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    dgemm = reinterpret_cast<dgemm_function>(dlsym(library, "cblas_dgemm"));
}

dgemm_function blas() {
    std::call_once(load_once, load_blas);
    return dgemm;
}

} // namespace

void gemm_subtract(int m, int n, int k, const double* a, std::size_t lda, const double* b, std::size_t ldb,
                   double* c, std::size_t ldc) {
    if (m == 0 || n == 0 || k == 0) return;
    const dgemm_function f = blas();
    if (f == nullptr) {
        gemm_subtract_own(m, n, k, a, lda, b, ldb, c, ldc);
        return;
    }
    constexpr int row_major = 101, no_transpose = 111;
    f(row_major, no_transpose, no_transpose, m, n, k, -1.0, a, int(lda), b, int(ldb), 1.0, c, int(ldc));
}

const char* gemm_kernel_name() { return blas() != nullptr ? VELMORA_BLAS_NAME : "own"; }

} // namespace velmora::detail
