// The kernel that this build runs on (gmp or own), through big_int, against GMP's mpz at
// sizes from one word to thousands, where the faster methods take over: products,
// division with remainder, exact division, gcd and decimal text both ways, compared as
// decimal text. Then running out of memory inside the kernel, which must be the fatal
// report "the heap overflow". Set VELMORA_SEED to rerun a seed.
#include "bigint/big_int.hpp"
#include "bigint/kernel.hpp"
#include "diag/testing.hpp"
#include "support/shaped_operands.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#ifdef VELMORA_HAVE_GMP
#include <gmpxx.h>
#endif

namespace velmora {
namespace {

TEST(Kernel, NameIsOneOfTheTwo) {
    const std::string name = kernel_name();
    EXPECT_TRUE(name == "gmp" || name == "own") << name;
}

#ifndef VELMORA_HAVE_GMP

TEST(KernelOracle, NotRun) {
    GTEST_SKIP() << "GMP (libgmp-dev) NOT FOUND: the kernel was NOT compared with GMP's mpz. "
                    "Install it with: apt-get install libgmp-dev";
}

#else

struct operand {
    big_int value;
    mpz_class oracle;
};

operand operand_of(int sign, const words& w) {
    mpz_class z;
    mpz_import(z.get_mpz_t(), w.size(), -1, sizeof(mag_word), 0, 0, w.data());
    if (sign < 0) z = -z;
    return {big_int_from_words64(sign, w.data(), w.size()), z};
}

std::string decimal(const mpz_class& z) { return z.get_str(10); }

TEST(KernelOracle, ProductsDivisionsGcdsAndTextAtEverySize) {
    const std::uint64_t seed = seed_from_environment(20240704);
    shaped_operands source(seed);
    const std::uint32_t sizes[] = {1, 2, 3, 7, 16, 31, 33, 64, 97, 256, 300, 700, 1500, 4096};
    for (int i = 0; i < 60 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const std::uint32_t na = sizes[source.below(std::size(sizes))];
        const std::uint32_t nb = 1 + source.below(i % 3 == 0 ? na : std::min<std::uint32_t>(na, 40));
        const operand a = operand_of(source.sign(), source.shaped(na));
        const operand b = operand_of(source.sign(), source.shaped(nb));
        const operand c = operand_of(1, source.shaped(1 + source.below(nb)));
        SCOPED_TRACE("words " + std::to_string(na) + " and " + std::to_string(nb));

        const big_int ab = a.value * b.value;
        const mpz_class ab_oracle = a.oracle * b.oracle;
        EXPECT_EQ(text_of(ab), decimal(ab_oracle));
        EXPECT_EQ(text_of(a.value / b.value), decimal(a.oracle / b.oracle));
        EXPECT_EQ(text_of(a.value % b.value), decimal(a.oracle % b.oracle));
        // Exact quotients: of a product by either factor, and of a multiple of a power of two.
        EXPECT_EQ(text_of(exact_quotient(ab, b.value)), decimal(a.oracle));
        EXPECT_EQ(text_of(exact_quotient(ab, a.value)), decimal(b.oracle));
        const mpz_class shifted = b.oracle << 131;
        EXPECT_EQ(text_of(exact_quotient(ab * big_int(shifted.get_str(16).insert(shifted < 0 ? 1 : 0, "0x").c_str()),
                                         b.value)),
                  decimal(a.oracle * shifted));
        // A gcd with a known common factor c.
        mpz_class g;
        const mpz_class ac = a.oracle * c.oracle, bc = b.oracle * c.oracle;
        mpz_gcd(g.get_mpz_t(), ac.get_mpz_t(), bc.get_mpz_t());
        EXPECT_EQ(text_of(gcd(a.value * c.value, b.value * c.value)), decimal(g));
        // Decimal text both ways; hexadecimal and octal go by bits in either kernel.
        const std::string text = text_of(ab);
        EXPECT_EQ(text_of(big_int(text.c_str())), text);
        EXPECT_EQ(text_of(ab, 16), ab_oracle.get_str(16));
    }
}

// The gcd and division where one operand is much longer than the other, and equal values.
TEST(KernelOracle, UnbalancedAndEqualOperands) {
    const std::uint64_t seed = seed_from_environment(20240705);
    shaped_operands source(seed);
    for (int i = 0; i < 40 && !HasFailure(); ++i) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", case " + std::to_string(i));
        const operand a = operand_of(1, source.shaped(200 + source.below(2000)));
        const operand b = operand_of(-1, source.shaped(2 + source.below(60)));
        mpz_class g;
        mpz_gcd(g.get_mpz_t(), a.oracle.get_mpz_t(), b.oracle.get_mpz_t());
        EXPECT_EQ(text_of(gcd(a.value, b.value)), decimal(g));
        EXPECT_EQ(text_of(gcd(b.value, a.value)), decimal(g));
        EXPECT_EQ(text_of(gcd(a.value, -a.value)), decimal(a.oracle));
        EXPECT_EQ(text_of(a.value / b.value), decimal(a.oracle / b.oracle));
        EXPECT_EQ(text_of(exact_quotient(a.value, a.value)), "1");
    }
}

#endif

// Every allocation that a large product, division, gcd or conversion makes, GMP's own
// included, fails in turn (a sample of them for the long ones): each is the report.
TEST(KernelDeathTest, RunningOutOfMemoryInsideTheKernelIsTheHeapOverflow) {
    const char* report = "^Big arith fatal error: \n the heap overflow\n$";
    shaped_operands source(20240706);
    const words wa = source.shaped(8000), wb = source.shaped(3000);
    const big_int a = big_int_from_words64(1, wa.data(), wa.size());
    const big_int b = big_int_from_words64(-1, wb.data(), wb.size());
    const big_int ab = a * b;
    const std::string text = text_of(a);
    struct operation {
        const char* name;
        void (*run)(const big_int&, const big_int&, const big_int&, const std::string&);
    };
    const operation operations[] = {
        {"product", [](const big_int& x, const big_int& y, const big_int&, const std::string&) { x* y; }},
        {"quotient", [](const big_int& x, const big_int& y, const big_int&, const std::string&) { x / y; }},
        {"remainder", [](const big_int& x, const big_int& y, const big_int&, const std::string&) { x % y; }},
        {"exact quotient", [](const big_int&, const big_int& y, const big_int& xy, const std::string&) { exact_quotient(xy, y); }},
        {"gcd", [](const big_int&, const big_int& y, const big_int& xy, const std::string&) { gcd(xy, y * y); }},
        {"to decimal", [](const big_int& x, const big_int&, const big_int&, const std::string&) { text_of(x); }},
        {"from decimal", [](const big_int&, const big_int&, const big_int&, const std::string& t) { big_int v(t.c_str()); }},
    };
    for (const operation& op : operations) {
        SCOPED_TRACE(op.name);
        release_pooled_records();
        fail_allocation_after(LONG_MAX);
        op.run(a, b, ab, text);
        const long made = LONG_MAX - allocations_before_failure();
        fail_allocation_after(0);
        ASSERT_GT(made, 0);
        const long step = made <= 12 ? 1 : made / 12;
        for (long k = 1; k <= made; k += (k + step > made && k != made) ? made - k : step) {
            SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(made));
            EXPECT_EXIT((release_pooled_records(), fail_allocation_after(k), op.run(a, b, ab, text)),
                        ::testing::ExitedWithCode(1), report);
        }
    }
}

#ifdef VELMORA_HAVE_GMP
// On GMP's kernel, GMP allocates through the checked allocation: even an mpz of its own.
TEST(KernelDeathTest, GmpAllocatesThroughTheCheckedAllocation) {
    if (std::string(kernel_name()) != "gmp") GTEST_SKIP() << "the own kernel makes no use of GMP";
    const char* report = "^Big arith fatal error: \n the heap overflow\n$";
    EXPECT_EXIT((fail_allocation_after(1), mpz_class(mpz_class(1) << 100000)), ::testing::ExitedWithCode(1), report);
}
#endif

} // namespace
} // namespace velmora
