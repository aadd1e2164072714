// The fast paths of rational arithmetic and comparison against the reference methods
// (multiply out or cancel crosswise, then normalize with Euclid's gcd; compare by the sign
// of the normalized difference), on operands shaped to reach every path: zero, integers,
// equal and related denominators. Rerun one seed with VELMORA_SEED=<n>.
#include "rational/rational.hpp"

#include "bigint/big_int.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>

namespace velmora {
namespace {

using Q = rational<big_int>;

std::string text(const Q& x) {
    std::ostringstream out;
    out << x.numerator << '/' << x.denominator;
    return out.str();
}

// n / d brought to normal form with the gcd template (Euclid's algorithm).
Q reference_normal(big_int n, big_int d) {
    if (d < big_int(0)) {
        n = -n;
        d = -d;
    }
    const big_int g = gcd<big_int>(n, d);
    Q r;
    r.numerator = n / g;
    r.denominator = d / g;
    return r;
}

Q reference_product(const Q& a, const Q& b) {
    const big_int g1 = gcd<big_int>(a.numerator, b.denominator), g2 = gcd<big_int>(b.numerator, a.denominator);
    return reference_normal((a.numerator / g1) * (b.numerator / g2), (a.denominator / g2) * (b.denominator / g1));
}

class shaped_rationals {
public:
    explicit shaped_rationals(std::uint64_t seed) : gen_(seed) {}

    big_int integer(int max_digits) {
        std::string s = (gen_() & 1) ? "-" : "";
        const int len = 1 + int(gen_() % max_digits);
        for (int k = 0; k < len; ++k) s += char('0' + gen_() % 10);
        return big_int(s.c_str());
    }

    // A value in normal form: zero, an integer, or a fraction whose denominator is often
    // built from a shared stock of factors, so that operands have related denominators.
    Q value() {
        switch (gen_() % 6) {
        case 0: return Q();
        case 1: return Q(integer(30));
        default: {
            big_int d = abs(integer(12)) + big_int(1);
            if (gen_() % 2) d = d * stock_[gen_() % 3];
            return Q(integer(30), d);
        }
        }
    }

private:
    std::mt19937_64 gen_;
    const big_int stock_[3] = {big_int(6), big_int("1000000007"), big_int("340282366920938463463374607431768211456")};
};

TEST(RationalFastPaths, AgreeWithTheReferenceMethods) {
    const std::uint64_t seed = seed_from_environment(20261208);
    shaped_rationals source(seed);
    for (int k = 0; k < 3000 && !HasFailure(); ++k) {
        const Q a = source.value();
        const Q b = k % 7 == 0 ? a : source.value();
        SCOPED_TRACE(seed_trace(seed) + ", case " + std::to_string(k) + ": " + text(a) +
                     " and " + text(b));
        EXPECT_EQ(text(a + b), text(rational_detail::reference_sum(a, b, 1)));
        EXPECT_EQ(text(a - b), text(rational_detail::reference_sum(a, b, -1)));
        EXPECT_EQ(text(a * b), text(reference_product(a, b)));
        if (b.numerator != big_int(0)) {
            EXPECT_EQ(text(a / b), text(reference_product(a, reference_normal(b.denominator, b.numerator))));
        }
        EXPECT_EQ(cmp(a, b), reference_cmp(a, b));
        EXPECT_EQ(sgn(a), sgn(rational_detail::reference_sum(a, Q(), 1)));
        EXPECT_EQ(text(abs(a)), text(sgn(a) < 0 ? -a : a));
    }
}

// Values that are not in normal form (set through the fields) take the reference paths.
TEST(RationalFastPaths, NegativeDenominatorsTakeTheReferencePath) {
    Q minus_half;
    minus_half.numerator = big_int(1);
    minus_half.denominator = big_int(-2);
    EXPECT_EQ(text(minus_half + Q(1)), "1/2");
    EXPECT_EQ(text(minus_half * Q(big_int(2))), "-1/1");
    EXPECT_EQ(cmp(minus_half, Q()), -1);
    EXPECT_EQ(sgn(minus_half), -1);
}

} // namespace
} // namespace velmora
