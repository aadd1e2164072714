// Rational arithmetic and comparison against GMP's mpq on seeded random operands,
// compared as decimal text. Rerun one seed with VELMORA_SEED=<n>.
#include "rational/rational.hpp"

#include "bigint/big_int.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

#ifdef VELMORA_HAVE_GMP
#include <gmpxx.h>
#endif

namespace velmora {
namespace {

#ifdef VELMORA_HAVE_GMP

using Q = rational<big_int>;

std::string text(const Q& x) {
    std::ostringstream out;
    out << x;
    return out.str();
}

// Decimal digits of a random length (up to max_digits), sometimes all nines or a power of ten.
std::string random_digits(std::mt19937_64& gen, int max_digits) {
    const int len = 1 + static_cast<int>(gen() % max_digits);
    std::string s;
    switch (gen() % 6) {
    case 0: s.assign(len, '9'); break;
    case 1:
        s.assign(len, '0');
        s[0] = '1';
        break;
    default:
        for (int k = 0; k < len; ++k) s += static_cast<char>('0' + gen() % 10);
    }
    return s;
}

std::string random_fraction(std::mt19937_64& gen, int max_digits) {
    std::string s = (gen() & 1) ? "-" : "";
    s += random_digits(gen, max_digits);
    if (gen() % 4 != 0) {
        std::string d = random_digits(gen, max_digits);
        if (d.find_first_not_of('0') == std::string::npos) d.back() = '1';
        s += '/';
        s += d;
    }
    return s;
}

mpq_class to_mpq(const std::string& s) {
    mpq_class q(s, 10);
    q.canonicalize();
    return q;
}

std::string mpq_text(const mpq_class& q) { return q.get_str(10); }

TEST(RationalGmpOracle, ArithmeticAndComparisonAgreeWithMpq) {
    const std::uint64_t seed = seed_from_environment(20261207);
    std::mt19937_64 gen(seed);
    for (int k = 0; k < 2000; ++k) {
        const int digits = k % 10 == 0 ? 120 : 25;
        const std::string sa = random_fraction(gen, digits), sb = random_fraction(gen, digits);
        SCOPED_TRACE(seed_trace(seed) + ", case " + std::to_string(k) + ": " +
                     sa + " and " + sb);
        const Q a(sa.c_str()), b(sb.c_str());
        const mpq_class ga = to_mpq(sa), gb = to_mpq(sb);
        ASSERT_EQ(text(a), mpq_text(ga));
        EXPECT_EQ(text(a + b), mpq_text(ga + gb));
        EXPECT_EQ(text(a - b), mpq_text(ga - gb));
        EXPECT_EQ(text(a * b), mpq_text(ga * gb));
        if (gb != 0) {
            EXPECT_EQ(text(a / b), mpq_text(ga / gb));
        }
        const int c = cmp(a, b), gc = ::cmp(ga, gb);
        EXPECT_EQ(c, (gc > 0) - (gc < 0));
        EXPECT_EQ(a == b, ga == gb);
        EXPECT_EQ(text(-a), mpq_text(-ga));
        // floor and ceiling against GMP's integer division of the parts
        mpz_class fl, ce;
        mpz_fdiv_q(fl.get_mpz_t(), ga.get_num_mpz_t(), ga.get_den_mpz_t());
        mpz_cdiv_q(ce.get_mpz_t(), ga.get_num_mpz_t(), ga.get_den_mpz_t());
        std::ostringstream f, g;
        f << ifloor(a);
        g << iceil(a);
        EXPECT_EQ(f.str(), fl.get_str());
        EXPECT_EQ(g.str(), ce.get_str());
        if (HasFailure()) break;
    }
}

#else

TEST(RationalGmpOracle, SkippedBecauseGmpIsMissing) {
    GTEST_SKIP() << "GMP NOT FOUND: the rational differential tests did not run "
                    "(apt-get install libgmp-dev)";
}

#endif

} // namespace
} // namespace velmora
