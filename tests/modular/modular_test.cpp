// The prime sequence against an independent oracle, and arithmetic modulo its primes
// against plain division.
#include "bigint/words.hpp"
#include "modular/prime_source.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/residue.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#ifdef VELMORA_HAVE_GMP
#include <gmpxx.h>
#endif

#include <cstdint>
#include <random>
#include <thread>
#include <vector>

namespace velmora {
namespace {

// The largest prime below 2^62.
constexpr std::uint64_t top_prime = 0x3fffffffffffffc7ULL;

using u128 = unsigned __int128;

#ifdef VELMORA_HAVE_GMP
// GMP's primality test, independent of the sieve and of the Miller-Rabin code that find
// the sequence: 2 for proven primes, 1 for probable ones (25 rounds), 0 for composites.
int gmp_prime(std::uint64_t n) {
    mpz_class x;
    mpz_import(x.get_mpz_t(), 1, -1, sizeof n, 0, 0, &n);
    return mpz_probab_prime_p(x.get_mpz_t(), 25);
}
#endif

// Whether n has no divisor d with 1 < d < 2^21 and d < n, by trial division: a check that
// shares no code with either primality test (a full one would take 2^30 divisions).
bool no_small_divisor(std::uint64_t n) {
    if (n < 2) return false;
    if (n % 2 == 0) return n == 2;
    for (std::uint64_t d = 3; d < (1u << 21) && d < n; d += 2)
        if (n % d == 0) return false;
    return true;
}

// The sequence is every prime below 2^62 in decreasing order, with no prime left out:
// every number between two consecutive ones, and above the first, is composite. Checked
// over the first windows of the sieve and across the first boundary of the chunks the
// primes are kept in (index 4096), by GMP's test.
TEST(PrimeSequence, EveryPrimeBelowTwoToThe62InDecreasingOrder) {
#ifndef VELMORA_HAVE_GMP
    GTEST_SKIP() << "GMP is the oracle";
#else
    const std::uint64_t top = std::uint64_t(1) << 62, floor = top - (std::uint64_t(1) << 41);
    std::uint64_t above = top;  // every odd number in (engine_prime(k), above) is composite
    for (int k = 0; k < 4200; ++k) {
        const std::uint64_t p = engine_prime(k);
        ASSERT_GT(p, floor) << k;
        ASSERT_LT(p, above) << k;
        ASSERT_EQ(gmp_prime(p), 1) << "index " << k << ": " << p;
        for (std::uint64_t c = p + 2; c < above; c += 2) ASSERT_EQ(gmp_prime(c), 0) << "prime " << c << " left out";
        above = p;
    }
#endif
}

// A few primes of the sequence, at its start and past its first windows, have no small
// divisor; and the primality test itself on its corners.
TEST(PrimeSequence, TrialDivisionAndPseudoprimes) {
    for (int k = 0; k < 3000; k += 97) EXPECT_TRUE(no_small_divisor(engine_prime(k))) << k;
    EXPECT_FALSE(no_small_divisor(std::uint64_t(2097143) * 2097143));  // the square of a prime below 2^21
    EXPECT_EQ(engine_prime(0), top_prime);
    for (std::uint64_t c : {std::uint64_t(2), std::uint64_t(3), std::uint64_t(37), std::uint64_t(41)}) EXPECT_TRUE(is_prime_u64(c));
    // Above 2^63, where the test divides instead of using Montgomery's products: the largest
    // prime below 2^64, and the product of the two largest primes below 2^32.
    EXPECT_TRUE(is_prime_u64(18446744073709551557ULL));
    EXPECT_FALSE(is_prime_u64(std::uint64_t(4294967291ULL) * 4294967279ULL));
    EXPECT_FALSE(is_prime_u64(~std::uint64_t(0)));
    // Strong pseudoprimes to the bases 2, 3, 5 and 7, and to the bases 2 .. 23.
    for (std::uint64_t c : {std::uint64_t(0), std::uint64_t(1), std::uint64_t(3215031751ULL), std::uint64_t(3825123056546413051ULL)})
        EXPECT_FALSE(is_prime_u64(c)) << c;
    EXPECT_EQ(primes_for_bits(0), 1);
    EXPECT_EQ(primes_for_bits(61), 1);
    EXPECT_EQ(primes_for_bits(62), 2);
}

// Threads asking for primes not yet found at once all get the same sequence (one of them
// extends it while the others wait, or read what it published).
TEST(PrimeSequence, ExtendedFromSeveralThreadsAtOnce) {
    constexpr int threads = 4, last = 12000;
    std::vector<std::vector<std::uint64_t>> seen(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([t, &seen] {
            for (int k = last - 1 - t; k >= 0; k -= 97) seen[t].push_back(engine_prime(k));
        });
    for (auto& w : workers) w.join();
    for (int t = 0; t < threads; ++t) {
        int at = 0;
        for (int k = last - 1 - t; k >= 0; k -= 97) ASSERT_EQ(seen[t][at++], engine_prime(k)) << "thread " << t << ", index " << k;
    }
    for (int k = 1; k < last; ++k) ASSERT_LT(engine_prime(k), engine_prime(k - 1)) << k;
}

TEST(ModularArithmetic, ShoupProductsAndInversesAgreeWithDivision) {
    const std::uint64_t seed = seed_from_environment(7);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 20000; ++run) {
        const std::uint64_t p = engine_prime(int(gen() % 2048));
        const residue a = gen() % p, w = run < 10 ? p - 1 : gen() % p;
        const std::uint64_t b = run < 10 ? ~std::uint64_t(0) : gen();  // any 64-bit operand
        ASSERT_EQ(mul_shoup(b, make_shoup_factor(w, p), p), std::uint64_t(u128(b) * w % p));
        if (a != 0) {
            ASSERT_EQ(mul_mod(a, inverse_mod(a, p), p), 1u);
        }
        ASSERT_EQ(add_mod(a, w, p), std::uint64_t((u128(a) + w) % p));
        ASSERT_EQ(sub_mod(a, w, p), std::uint64_t((u128(a) + p - w) % p));
    }
}

TEST(ModularArithmetic, ReductionOfSignedBigIntegers) {
    const std::uint64_t p = engine_prime(3);
    EXPECT_EQ(reduce_mod(big_int(-1), p), p - 1);
    EXPECT_EQ(reduce_mod(big_int(0), p), 0u);
    const big_int two64 = big_int("18446744073709551616");
    EXPECT_EQ(reduce_mod(two64, p), std::uint64_t((u128(1) << 64) % p));
    EXPECT_EQ(reduce_mod(-(two64 * two64), p), p - std::uint64_t(((u128(1) << 64) % p) * ((u128(1) << 64) % p) % p));
}

// reduce_mod and reduce_mod_all against big_int's division, for primes of every size below
// 2^62 (the engine's, and the small ones of the kernel in doubles), on signed integers of
// one to nine words with all-ones and zero words among random ones.
TEST(ModularArithmetic, ReductionAgreesWithDivisionForPrimesOfAnySize) {
    const std::uint64_t seed = seed_from_environment(7);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const std::uint64_t primes[] = {3, 65521, 4194301, 2147483647, 0x1fffffffffffffffULL, engine_prime(0), top_prime};
    std::vector<big_int> values;
    for (int v = 0; v < 200; ++v) {
        std::uint64_t words[9];
        const int len = 1 + int(gen() % 9);
        for (int w = 0; w < len; ++w) {
            const int kind = int(gen() % 4);
            words[w] = kind == 0 ? ~std::uint64_t(0) : kind == 1 ? 0 : gen();
        }
        words[len - 1] |= 1;
        const big_int x = big_int_from_words64(v % 2 == 0 ? 1 : -1, words, len);
        values.push_back(x);
    }
    for (const std::uint64_t p : primes) {
        const big_int modulus = big_int_from_words64(1, &p, 1);
        std::vector<residue> all(values.size());
        reduce_mod_all(values.data(), values.size(), p, all.data());
        for (std::size_t e = 0; e < values.size(); ++e) {
            big_int r = values[e] % modulus;
            if (r < big_int(0)) r = r + modulus;
            const residue expected = r.rep().len == 0 ? 0 : residue(r.rep().digits[0]);
            ASSERT_EQ(reduce_mod(values[e], p), expected) << "value " << e << " modulo " << p;
            ASSERT_EQ(all[e], expected) << "value " << e << " modulo " << p << ", all at once";
        }
    }
}

} // namespace
} // namespace velmora
