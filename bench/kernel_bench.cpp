// The per-prime kernels on large matrices of entries in [-9, 9]: the blocked elimination in
// doubles on 1 and 2 threads, the left-looking LU on words, the matrix product under the
// first, and FLINT's LU modulo a word-size prime beside them where it is installed. The
// counter MAD/ns is multiply-adds per nanosecond: for an n-by-n LU n^3 / 3 of them, for
// the product n^3.
#include "diag/thread_pool.hpp"
#include "modular/blocked_lu.hpp"
#include "modular/float_gemm.hpp"
#include "modular/float_primes.hpp"
#include "modular/float_products.hpp"
#include "modular/modular_lu.hpp"
#include "modular/prime_source.hpp"
#include "modular/reduce_mod.hpp"

#include <benchmark/benchmark.h>

#ifdef VELMORA_BENCH_FLINT
#include <flint/nmod_mat.h>
#endif

#include <random>
#include <vector>

namespace velmora {
namespace {

std::vector<big_int> small_entries(int n) {
    std::mt19937 gen(7);
    std::vector<big_int> a(std::size_t(n) * n);
    for (auto& x : a) x = big_int(int(gen() % 19) - 9);
    return a;
}

void set_multiply_adds(benchmark::State& state, double per_iteration) {
    state.counters["MAD/ns"] = benchmark::Counter(per_iteration * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
}

void blocked_factorisation(benchmark::State& state) {
    const int n = int(state.range(0));
    set_thread_count(int(state.range(1)));
    const std::vector<big_int> a = small_entries(n);
    blocked_lu lu(n, n);
    for (auto _ : state) benchmark::DoNotOptimize(lu.factor(a.data(), float_prime(0)));
    set_multiply_adds(state, double(n) * n * n / 3);
    state.SetLabel(float_product_kernel());
}
BENCHMARK(blocked_factorisation)->ArgsProduct({{1000, 2000, 4000}, {1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();

void word_factorisation(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::vector<big_int> a = small_entries(n);
    std::vector<residue> w(a.size());
    reduce_mod_all(a.data(), a.size(), engine_prime(0), w.data());
    modular_lu lu(n, n);
    for (auto _ : state) benchmark::DoNotOptimize(lu.factor(w.data(), engine_prime(0)));
    set_multiply_adds(state, double(n) * n * n / 3);
}
BENCHMARK(word_factorisation)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The product alone, C -= A B on one thread, as the kernel's blocks call it.
void double_product(benchmark::State& state) {
    const int n = int(state.range(0));
    std::vector<double> a(std::size_t(n) * n, 3.0), b(std::size_t(n) * n, -2.0), c(std::size_t(n) * n, 0.0);
    for (auto _ : state) {
        detail::gemm_subtract(n, n, n, a.data(), n, b.data(), n, c.data(), n);
        benchmark::DoNotOptimize(c.data());
    }
    set_multiply_adds(state, double(n) * n * n);
    state.SetLabel(float_product_kernel());
}
BENCHMARK(double_product)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifdef VELMORA_BENCH_FLINT
void flint_factorisation(benchmark::State& state) {
    const int n = int(state.range(0));
    const std::uint64_t p = engine_prime(0);
    nmod_mat_t a, w;
    nmod_mat_init(a, n, n, p);
    nmod_mat_init(w, n, n, p);
    std::mt19937 gen(7);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) nmod_mat_entry(a, i, j) = (std::uint64_t(int(gen() % 19) - 9 + int(p))) % p;
    std::vector<slong> perm(n);
    for (auto _ : state) {
        nmod_mat_set(w, a);
        benchmark::DoNotOptimize(nmod_mat_lu(perm.data(), w, 0));
    }
    set_multiply_adds(state, double(n) * n * n / 3);
    nmod_mat_clear(a);
    nmod_mat_clear(w);
}
BENCHMARK(flint_factorisation)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

} // namespace
} // namespace velmora

BENCHMARK_MAIN();
