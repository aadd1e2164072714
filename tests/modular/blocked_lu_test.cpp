// The blocked elimination in doubles against the left-looking LU it stands in for: the
// same rank, pivot rows and columns, pivot product and determinant modulo the same prime,
// on matrices of every shape around the sizes where it splits its columns and its
// triangular solves, with dependent rows, zero columns, entries that vanish modulo the
// prime and long and negative integers; and the primes it runs on.
#include "modular/blocked_lu.hpp"
#include "diag/thread_pool.hpp"
#include "modular/float_gemm.hpp"
#include "modular/float_primes.hpp"
#include "modular/modular_lu.hpp"
#include "modular/prime_source.hpp"
#include "modular/reduce_mod.hpp"
#include "support/random_entries.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace velmora {
namespace {

// x mod p in [0, p) by big_int's own division, apart from the kernel's reduction.
residue oracle_mod(const big_int& x, std::uint32_t p) {
    big_int r = x % big_int(int(p));
    if (r < big_int(0)) r = r + big_int(int(p));
    return r.rep().len == 0 ? 0 : residue(r.rep().digits[0]);
}

// An m-by-n integer matrix: one of several kinds, then some rows made sums of earlier ones,
// some columns zero, some rows multiples of p.
std::vector<big_int> random_integers(std::mt19937_64& gen, int m, int n, std::uint32_t p) {
    std::vector<big_int> a = random_entries(gen, std::size_t(m) * n, p);
    // A low rank product for some matrices: rank at most r.
    if (gen() % 4 == 0) {
        const int r = int(gen() % (std::min(m, n) + 1));
        std::vector<long> b(std::size_t(m) * r), c(std::size_t(r) * n);
        for (auto& x : b) x = long(gen() % 7) - 3;
        for (auto& x : c) x = long(gen() % 7) - 3;
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) {
                long s = 0;
                for (int t = 0; t < r; ++t) s += b[std::size_t(i) * r + t] * c[std::size_t(t) * n + j];
                a[std::size_t(i) * n + j] = big_int(int(s));
            }
    }
    for (int i = 1; i < m; ++i)
        if (gen() % 5 == 0)
            for (int j = 0; j < n; ++j) a[std::size_t(i) * n + j] = a[std::size_t(i - 1) * n + j] + a[j];
    for (int j = 0; j < n; ++j)
        if (gen() % 7 == 0)
            for (int i = 0; i < m; ++i) a[std::size_t(i) * n + j] = big_int(0);
    for (int i = 0; i < m; ++i)
        if (gen() % 9 == 0)
            for (int j = 0; j < n; ++j) a[std::size_t(i) * n + j] = a[std::size_t(i) * n + j] * big_int(int(p));
    return a;
}

void expect_same_factorisation(const std::vector<big_int>& a, int m, int n, std::uint32_t p) {
    std::vector<residue> w(a.size());
    for (std::size_t e = 0; e < a.size(); ++e) w[e] = oracle_mod(a[e], p);
    modular_lu reference(m, n);
    const int rank = reference.factor(w.data(), p);
    blocked_lu lu(m, n);
    ASSERT_EQ(lu.factor(a.data(), p), rank);
    for (int t = 0; t < rank; ++t) {
        ASSERT_EQ(lu.pivot_rows()[t], reference.pivot_rows()[t]) << "pivot " << t;
        ASSERT_EQ(lu.pivot_cols()[t], reference.pivot_cols()[t]) << "pivot " << t;
    }
    ASSERT_EQ(lu.pivot_product(), reference.pivot_product());
    ASSERT_EQ(lu.determinant(), reference.determinant());
    // From the integers held as doubles, where they fit: the same factorisation.
    std::vector<double> exact(a.size());
    if (!exact_in_doubles(a.data(), a.size(), exact.data())) return;
    blocked_lu from_doubles(m, n);
    ASSERT_EQ(from_doubles.factor(exact.data(), p), rank);
    for (int t = 0; t < rank; ++t) ASSERT_EQ(from_doubles.pivot_rows()[t], reference.pivot_rows()[t]);
    ASSERT_EQ(from_doubles.determinant(), reference.determinant());
}

TEST(BlockedLu, TakesThePivotsOfTheLeftLookingLu) {
    const std::uint64_t seed = seed_from_environment(23);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    // Around the panel width (8) and the solve size (32), their doubles, and tall and wide;
    // and larger sides, where the solves and the products recurse deeper.
    const int sides[] = {1, 5, 9, 17, 31, 32, 33, 63, 64, 65, 97, 130, 200, 300, 530};
    for (int run = 0; run < 160; ++run) {
        const int m = sides[gen() % (run % 8 == 0 ? 15 : 13)], n = sides[gen() % (run % 8 == 0 ? 15 : 13)];
        const std::uint32_t p = float_prime(int(gen() % 20));
        SCOPED_TRACE("run " + std::to_string(run) + ": " + std::to_string(m) + " by " + std::to_string(n) + " mod " +
                     std::to_string(p));
        expect_same_factorisation(random_integers(gen, m, n, p), m, n, p);
    }
}

TEST(BlockedLu, TallMatricesWhoseLeadingRowsFallShort) {
    // The leading square singular: the pivots of its later columns lie in rows far below.
    const std::uint64_t seed = seed_from_environment(29);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 20; ++run) {
        const int n = 20 + int(gen() % 60), m = n * (2 + int(gen() % 4)) + int(gen() % 7);
        const std::uint32_t p = float_prime(0);
        std::vector<big_int> a(std::size_t(m) * n);
        const int lead = int(gen() % n);  // rows before `deep` span only `lead` dimensions
        const int deep = m - 1 - int(gen() % 5);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) {
                const bool free = i >= deep || j < lead;
                a[std::size_t(i) * n + j] = big_int(free ? int(gen() % 19) - 9 : 0);
            }
        SCOPED_TRACE("run " + std::to_string(run) + ": " + std::to_string(m) + " by " + std::to_string(n));
        expect_same_factorisation(a, m, n, p);
    }
}

// The products at the edge of the exact range: every residue the largest, so that each
// product is the largest and all of a row's sums have one sign; inner lengths past one and
// two blocks of products, against the sums taken modulo p in integers. On two threads, in
// shapes that stay on one thread, split C's rows and split its columns.
TEST(BlockedLu, ProductsOfTheLargestResiduesStayExact) {
    const std::uint32_t p = float_prime(0);
    const float_modulus f(p);
    const int threads_before = thread_count();
    set_thread_count(2);
    const int shapes[][2] = {{3, 5}, {31, 700}, {300, 9}};
    for (const auto& shape : shapes)
        for (const int k : {1023, 1024, 1025, 2100}) {
            const int m = shape[0], n = shape[1];
            std::vector<double> a(std::size_t(m) * k), b(std::size_t(k) * n), c(std::size_t(m) * n);
            for (std::size_t e = 0; e < a.size(); ++e) a[e] = e % 7 == 0 ? -f.half : f.half;
            for (std::size_t e = 0; e < b.size(); ++e) b[e] = e % 11 == 3 ? -f.half : f.half;
            for (std::size_t e = 0; e < c.size(); ++e) c[e] = e % 2 ? f.half : -f.half;
            std::vector<double> start = c;
            subtract_product(c.data(), n, a.data(), k, b.data(), n, m, n, k, f);
            for (int i = 0; i < m; ++i)
                for (int j = 0; j < n; ++j) {
                    long long want = (long long)start[std::size_t(i) * n + j] % p;
                    for (int t = 0; t < k; ++t)
                        want = (want - (long long)a[std::size_t(i) * k + t] * (long long)b[std::size_t(t) * n + j]) % p;
                    want = (want % p + p) % p;
                    const double got = c[std::size_t(i) * n + j];
                    ASSERT_LE(std::abs(got), f.half);
                    ASSERT_EQ((long long)(got < 0 ? got + p : got), want)
                        << m << " by " << n << ", k " << k << ", entry " << i << ", " << j;
                }
        }
    set_thread_count(threads_before);
}

// The kernel chosen (a BLAS where one is configured and loads) and our own loops give the
// same exact values, on shapes that cross the own loops' blocks.
TEST(BlockedLu, ProductKernelsAgree) {
    const std::uint64_t seed = seed_from_environment(31);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const float_modulus f(float_prime(1));
    for (const int side : {1, 7, 129, 513, 700}) {
        const int m = side, n = side + 3, k = 1 + int(gen() % 300);
        std::vector<double> a(std::size_t(m) * k), b(std::size_t(k) * n), c(std::size_t(m) * n);
        for (double& x : a) x = double(long(gen() % (2 * std::uint64_t(f.half) + 1)) - long(f.half));
        for (double& x : b) x = double(long(gen() % (2 * std::uint64_t(f.half) + 1)) - long(f.half));
        for (double& x : c) x = double(long(gen() % 1000) - 500);
        std::vector<double> own = c;
        detail::gemm_subtract(m, n, k, a.data(), k, b.data(), n, c.data(), n);
        detail::gemm_subtract_own(m, n, k, a.data(), k, b.data(), n, own.data(), n);
        ASSERT_TRUE(c == own) << "side " << side << " on " << float_product_kernel();
    }
}

// The threads call the product at once (pieces of one product, images modulo several
// primes): a kernel that shared its buffers between calls would give wrong sums.
TEST(BlockedLu, ProductsOnSeveralThreadsAtOnceAgree) {
    constexpr int n = 200, calls = 20, threads = 4;
    std::atomic<int> wrong{0};
    const auto work = [&](int id) {
        std::mt19937_64 gen(seed_from_environment(37) + std::uint64_t(id));
        std::vector<double> a(n * n), b(n * n), want(n * n, 0.0), c(n * n);
        for (double& x : a) x = double(long(gen() % 2001) - 1000);
        for (double& x : b) x = double(long(gen() % 2001) - 1000);
        detail::gemm_subtract_own(n, n, n, a.data(), n, b.data(), n, want.data(), n);
        for (int r = 0; r < calls; ++r) {
            std::fill(c.begin(), c.end(), 0.0);
            detail::gemm_subtract(n, n, n, a.data(), n, b.data(), n, c.data(), n);
            if (c != want) ++wrong;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(work, t);
    for (std::thread& t : pool) t.join();
    EXPECT_EQ(wrong.load(), 0) << "on " << float_product_kernel();
}

TEST(FloatPrimes, AreTheLargestPrimesBelowTwoToThe22InOrder) {
    std::uint64_t above = std::uint64_t(1) << 22;
    for (int k = 0; k < 6000; ++k) {
        const std::uint64_t q = float_prime(k);
        ASSERT_TRUE(is_prime_u64(q)) << q;
        for (std::uint64_t x = q + 1; x < above; ++x) ASSERT_FALSE(is_prime_u64(x)) << "missed " << x;
        above = q;
    }
    EXPECT_EQ(float_prime(0), 4194301u);
    EXPECT_GT(float_prime(max_float_primes - 1), 1u << 21);
    EXPECT_EQ(float_primes_for_bits(0), 1);
    EXPECT_EQ(float_primes_for_bits(21), 1);
    EXPECT_EQ(float_primes_for_bits(22), 2);
}

} // namespace
} // namespace velmora
