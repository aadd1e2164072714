#include "modular/float_gemm.hpp"

#include <dlfcn.h>
#include <sys/mman.h>

#include <atomic>
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

// Address space that must be free before a copy of the library is loaded: its start-up maps
// buffers of some 40 MB and was seen to crash, not fail, when a memory limit refused them.
// Refused here, the own loops serve instead, with the same values.
constexpr std::size_t load_headroom = std::size_t(128) << 20;

// Each thread has a copy of the library of its own: Debian's serial OpenBLAS shares its
// buffers between calls without a lock, and two products at once in one copy were seen to
// come out wrong (a rank above the matrix's). The first copy is loaded as usual, the others
// each in a link namespace of their own (dlmopen), with globals of their own. A thread
// without a copy (none could be loaded, or more threads than copies) runs the own loops,
// which give the same values.
constexpr int most_copies = 8;
std::mutex load_lock;
int copies_loaded = 0;  // under load_lock
thread_local int my_copy = -1;           // -1: not asked yet; -2: none for this thread
thread_local dgemm_function my_dgemm = nullptr;

// Loads copy `index` (0: the ordinary one) and returns its dgemm, or null. Pre: load_lock.
dgemm_function load_copy(int index) {
    void* room = mmap(nullptr, load_headroom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room == MAP_FAILED) return nullptr;
    munmap(room, load_headroom);
    void* library = index == 0 ? dlopen(VELMORA_BLAS_FILE, RTLD_NOW | RTLD_LOCAL)
                               : dlmopen(LM_ID_NEWLM, VELMORA_BLAS_FILE, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    return reinterpret_cast<dgemm_function>(dlsym(library, "cblas_dgemm"));
}

// The calling thread's copy, loaded when it first asks.
dgemm_function blas() {
    if (my_copy == -1) {
        const std::lock_guard<std::mutex> hold(load_lock);
        my_dgemm = copies_loaded < most_copies ? load_copy(copies_loaded) : nullptr;
        my_copy = my_dgemm != nullptr ? copies_loaded++ : -2;
    }
    return my_dgemm;
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
