// The multimodular engine against the reductions it stands in for, on seeded random
// matrices of every rank and shape: full row rank and below it, dependent leading
// columns, tall and wide shapes up to 30 by 60, zero and repeated rows, rows that tie in
// the magnitude search at later steps, entries up to 2^100, rational entries, and
// matrices built so that the first primes are unlucky; every combination of results
// asked for. Rerun one seed with VELMORA_SEED=<n>.
#include "bigint/big_int.hpp"
#include "diag/report.hpp"
#include "diag/testing.hpp"
#include "rational/rational.hpp"
#include "modular/prime_source.hpp"
#include "engine/multimodular.hpp"
#include "reduce/reduced_echelon.hpp"
#include "reduce/reduced_echelon_int.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using number = rational<big_int>;

// A uniformly random value of up to `bits` bits (at least one), with a random sign.
big_int random_entry(std::mt19937_64& gen, int bits) {
    const int b = 1 + int(gen() % bits);
    std::uint32_t words[4] = {};
    const int n = (b + 31) / 32;
    for (int k = 0; k < n; ++k) words[k] = static_cast<std::uint32_t>(gen());
    if (b % 32 != 0) words[n - 1] &= (std::uint32_t(1) << (b % 32)) - 1;
    return big_int_from_words(gen() % 2 ? 1 : -1, words, n);
}

// A random value of exactly `bits` bits, with a random sign.
big_int huge_entry(std::mt19937_64& gen, int bits) {
    std::vector<std::uint32_t> words((bits + 31) / 32);
    for (auto& w : words) w = static_cast<std::uint32_t>(gen());
    const int top = (bits - 1) % 32;
    words.back() = (words.back() & ((std::uint32_t(2) << top) - 1)) | (std::uint32_t(1) << top);
    return big_int_from_words(gen() % 2 ? 1 : -1, words.data(), words.size());
}

big_int from_u64(std::uint64_t v) {
    const std::uint32_t words[2] = {static_cast<std::uint32_t>(v), static_cast<std::uint32_t>(v >> 32)};
    return big_int_from_words(1, words, 2);
}

// The kinds of matrices the engine must match the reductions on.
enum class kind { full, deficient, dependent_leading, unlucky_column, unlucky_row, ties, products, count };

struct test_case {
    matrix<big_int> a;
};

test_case make_case(std::mt19937_64& gen, kind k, int m, int n, int bits) {
    test_case c;
    c.a.resize(m, n);
    const int zero_percent = int(gen() % 3) * 20;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j)
            if (int(gen() % 100) >= zero_percent) c.a(i, j) = random_entry(gen, bits);
    switch (k) {
    case kind::deficient:
        // The last row, and maybe more, combinations of the others.
        for (int i = std::max(1, m - 1 - int(gen() % 3)); i < m; ++i) {
            for (int j = 0; j < n; ++j) c.a(i, j) = big_int(0);
            for (int r = 0; r < i; ++r) {
                const big_int f = big_int(int(gen() % 7) - 3);
                for (int j = 0; j < n; ++j) c.a(i, j) = c.a(i, j) + c.a(r, j) * f;
            }
        }
        break;
    case kind::dependent_leading:
        // Column 1 a multiple of column 0: with full row rank, no leading minor.
        if (n > 1) {
            const big_int f = big_int(int(gen() % 5) - 2);
            for (int i = 0; i < m; ++i) c.a(i, 1) = c.a(i, 0) * f;
        }
        break;
    case kind::unlucky_column:
    case kind::unlucky_row: {
        // A column (the pivot columns move modulo these primes) or a row (the rank drops)
        // multiplied by some of the first primes of the sequence.
        big_int f(1);
        for (int s = 0; s < 4; ++s)
            if (gen() % 2) {
                f = f * from_u64(engine_prime(s));
            }
        if (k == kind::unlucky_column) {
            const int j = int(gen() % std::min(n, 3));
            for (int i = 0; i < m; ++i) c.a(i, j) = c.a(i, j) * f;
        } else {
            const int i = int(gen() % m);
            for (int j = 0; j < n; ++j) c.a(i, j) = c.a(i, j) * f;
        }
        break;
    }
    case kind::ties:
        // Rows that are another row, negated or not, plus a multiple of a third: once the
        // third is a pivot row, their entries tie in absolute value. Some rows zero.
        for (int i = 1; i < m; ++i) {
            const int source = int(gen() % i), third = int(gen() % i);
            const big_int sign(gen() % 2 ? 1 : -1), f(int(gen() % 5) - 2);
            switch (gen() % 4) {
            case 0:
                for (int j = 0; j < n; ++j) c.a(i, j) = c.a(source, j) * sign + c.a(third, j) * f;
                break;
            case 1:
                for (int j = 0; j < n; ++j) c.a(i, j) = big_int(0);
                break;
            default: break;
            }
        }
        break;
    case kind::products: {
        // X Y with small X and Y of inner size below min(m, n), so that the rank is low and
        // the rows' contents in the fraction-free elimination exceed 1 at many steps; some
        // rows then multiplied by a common factor or made proportional to another, and
        // the zero entries kept (rows and columns of zeros).
        const int inner = std::max(1, int(gen() % std::max(1, std::min(m, n))));
        std::vector<int> x(std::size_t(m) * inner), y(std::size_t(inner) * n);
        for (auto& v : x) v = int(gen() % 7) - 3;
        for (auto& v : y) v = int(gen() % 7) - 3;
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) {
                int sum = 0;
                for (int u = 0; u < inner; ++u) sum += x[std::size_t(i) * inner + u] * y[std::size_t(u) * n + j];
                c.a(i, j) = big_int(sum);
            }
        for (int i = 0; i < m; ++i) {
            const int choice = int(gen() % 4);
            const big_int f(choice == 0 ? 6 : choice == 1 ? -2 : 3);
            if (choice < 2)
                for (int j = 0; j < n; ++j) c.a(i, j) = c.a(i, j) * f;
            else if (choice == 2 && i > 0)
                for (int j = 0; j < n; ++j) c.a(i, j) = c.a(int(gen() % i), j) * f;
        }
        break;
    }
    default: break;
    }
    return c;
}

// Words of an entry's longest integer (the numerator or the denominator of a fraction).
std::uint32_t entry_words(const big_int& x) { return x.rep().len; }
std::uint32_t entry_words(const number& x) {
    return std::max(x.numerator.rep().len, x.denominator.rep().len);
}

template <class T>
bool same_entry(const T& x, const T& y) {
    return x == y;
}
bool same_entry(const number& x, const number& y) {
    return x.numerator == y.numerator && x.denominator == y.denominator;
}

template <class T>
::testing::AssertionResult same_matrix(const matrix<T>& x, const matrix<T>& y) {
    if (x.rows() != y.rows() || x.cols() != y.cols())
        return ::testing::AssertionFailure() << "dimensions " << x.rows() << "x" << x.cols() << " and "
                                             << y.rows() << "x" << y.cols();
    for (int i = 0; i < x.rows(); ++i)
        for (int j = 0; j < x.cols(); ++j)
            if (!same_entry(x(i, j), y(i, j)))
                return ::testing::AssertionFailure() << "entries (" << i << ", " << j << ") " << x(i, j)
                                                     << " and " << y(i, j);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult same_basis(const vector<int>& x, const vector<int>& y) {
    if (x.size() != y.size()) return ::testing::AssertionFailure() << "ranks " << x.size() << " and " << y.size();
    for (int k = 0; k < x.size(); ++k)
        if (x[k] != y[k]) return ::testing::AssertionFailure() << "basis item " << k;
    return ::testing::AssertionSuccess();
}

template <class T>
struct results {
    matrix<T> B, Q;
    vector<int> basis;
    T det;
};

void by_reduction(const matrix<number>& A, results<number>& r) {
    std::ostringstream silent;
    reduced_echelon(A, r.B, r.Q, r.basis, r.det, 0, silent);
}
void by_reduction(const matrix<big_int>& A, results<big_int>& r) {
    std::ostringstream silent;
    reduced_echelon_int(A, r.B, r.Q, r.basis, r.det, 0, silent);
}
bool engine(const matrix<number>& A, results<number>& r, const engine_request& request) {
    return multimodular_echelon(A, r.B, r.Q, r.basis, r.det, request);
}
bool engine(const matrix<big_int>& A, results<big_int>& r, const engine_request& request) {
    return multimodular_echelon_int(A, r.B, r.Q, r.basis, r.det, request);
}

std::string describe(const engine_request& r) {
    return std::string(r.b ? "B" : "") + (r.q ? "Q" : "") + (r.rank ? "r" : "") + (r.det ? "d" : "") +
           (r.basis ? "i" : "");
}

// Runs both on A: every result the engine was asked for must be the reduction's, and the
// results it was not asked for must be left alone. The engine may leave A to the
// reduction only when it has no rows or columns, or for long entries in at most two rows
// or columns. Returns whether the engine took A.
template <class T>
bool compare(const matrix<T>& A, const engine_request& request) {
    SCOPED_TRACE("asked for " + describe(request));
    results<T> want;
    by_reduction(A, want);
    results<T> got;
    got.B.resize(1, 1);
    got.Q.resize(1, 2);
    got.basis.append_item(5);
    got.det = T(9);
    reset_diagnostics();
    const bool taken = engine(A, got, request);
    EXPECT_FALSE(report_written()) << "the engine writes no report";
    if (!taken) {
        bool long_entries = false;
        for (int i = 0; i < A.rows(); ++i)
            for (int j = 0; j < A.cols(); ++j) long_entries = long_entries || entry_words(A(i, j)) > 64;
        EXPECT_TRUE(A.rows() == 0 || A.cols() == 0 || (std::min(A.rows(), A.cols()) <= 2 && long_entries))
            << "refused";
        EXPECT_TRUE(got.B.rows() == 1 && got.Q.cols() == 2 && got.basis.size() == 1 && got.det == T(9));
        return false;
    }
    if (request.rank || request.basis || request.b || request.q) {
        EXPECT_EQ(got.basis.size(), want.basis.size()) << "rank";
    }
    if (request.basis || request.b || request.q) {
        EXPECT_TRUE(same_basis(got.basis, want.basis));
    }
    if (request.det) {
        EXPECT_TRUE(same_entry(got.det, want.det)) << got.det << " instead of " << want.det;
    } else {
        EXPECT_TRUE(got.det == T(9)) << "det set";
    }
    if (request.b) {
        EXPECT_TRUE(same_matrix(got.B, want.B)) << "B";
    } else {
        EXPECT_EQ(got.B.rows(), 1) << "B set";
    }
    if (request.q) {
        EXPECT_TRUE(same_matrix(got.Q, want.Q)) << "Q";
    } else {
        EXPECT_EQ(got.Q.cols(), 2) << "Q set";
    }
    return true;
}

// A random set of results to ask for, at least one.
engine_request random_request(std::mt19937_64& gen) {
    for (;;) {
        const unsigned bits = unsigned(gen() % 32);
        if (bits == 0) continue;
        return {bool(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8), bool(bits & 16)};
    }
}

matrix<number> as_rational(const matrix<big_int>& a) {
    matrix<number> r(a.rows(), a.cols());
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) r(i, j) = number(a(i, j));
    return r;
}

// Entries of a divided by random denominators of up to den_bits bits.
matrix<number> with_denominators(std::mt19937_64& gen, const matrix<big_int>& a, int den_bits) {
    matrix<number> r(a.rows(), a.cols());
    for (int i = 0; i < a.rows(); ++i)
        for (int j = 0; j < a.cols(); ++j) r(i, j) = number(a(i, j), abs(random_entry(gen, den_bits)) + big_int(1));
    return r;
}

// Debug and sanitizer builds run the reference reductions many times slower: a quarter
// of the seeds there.
#ifdef NDEBUG
constexpr int run_share = 4;
#else
constexpr int run_share = 1;
#endif

// The first seed of a run: VELMORA_SEED (which then runs that one seed alone), else a
// fixed base.
unsigned first_seed() { return static_cast<unsigned>(seed_from_environment(20240616)); }

// Runs `runs` seeds from the first; sizes and entry bits as given. Returns how many
// integer matrices the engine took.
// Rational entries (costly for reduced_echelon) only up to rational_max_m rows.
int differential_run(int runs, int max_m, int max_n, const int* bit_choices, int bit_count,
                     int rational_max_m) {
    const unsigned base = first_seed();
    const bool one = std::getenv("VELMORA_SEED") != nullptr;
    int taken = 0;
    for (int run = 0; run < (one ? 1 : std::max(1, runs * run_share / 4)); ++run) {
        const unsigned seed = base + run;
        std::mt19937_64 gen(seed);
        const kind k = static_cast<kind>(gen() % int(kind::count));
        const int m = 1 + int(gen() % max_m);
        // Wide and tall shapes, a third of them tall.
        const int n = gen() % 3 == 0 ? 1 + int(gen() % m) : m + int(gen() % (max_n - m + 1));
        const int bits = bit_choices[gen() % bit_count];
        SCOPED_TRACE(seed_trace(seed) + ": " + std::to_string(m) + " by " +
                     std::to_string(n) + ", kind " + std::to_string(int(k)) + ", " + std::to_string(bits) +
                     " bits");
        const test_case c = make_case(gen, k, m, n, bits);
        if (compare(c.a, random_request(gen))) ++taken;
        if (m > rational_max_m) continue;
        compare(as_rational(c.a), random_request(gen));
        if (gen() % 2)
            compare(with_denominators(gen, c.a, 1 + int(gen() % 20)), random_request(gen));
        if (::testing::Test::HasFailure()) break;
    }
    return taken;
}

TEST(Multimodular, SmallMatricesMatchBothReductions) {
    const int bits[] = {2, 4, 8, 30, 64};
    const int taken = differential_run(1000, 6, 9, bits, 5, 6);
    if (!std::getenv("VELMORA_SEED")) {
        EXPECT_GT(taken, 50 * run_share);  // the engine path is really exercised
    }
}

TEST(Multimodular, MediumMatricesWithLargeEntries) {
    const int bits[] = {10, 40, 100};
    differential_run(40, 14, 28, bits, 3, 8);
}

TEST(Multimodular, LargestShapes) {
    const int bits[] = {4, 100};
    differential_run(3, 30, 60, bits, 2, 0);
}

// Entries so long that the minors need more primes than the first windows of the prime
// sequence hold (some 760 each): square, wide
// below full row rank, and tall (where zerk's det follows the pivot sequence); and with
// two rows or columns, where such entries are left to the row-by-row elimination.
TEST(Multimodular, HugeEntriesBeyondTheFirstPrimes) {
    const unsigned seed = first_seed();
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    const int bits = 2048 * engine_prime_bits / 3 + 100;  // 3-by-3 minors need more
    for (auto [m, n] : {std::pair{3, 3}, {3, 4}, {4, 3}, {2, 3}}) {
        matrix<big_int> a(m, n);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) a(i, j) = huge_entry(gen, bits);
        if (n == 4)
            for (int j = 0; j < n; ++j) a(2, j) = a(0, j) - a(1, j) * big_int(3);
        SCOPED_TRACE(std::to_string(m) + " by " + std::to_string(n));
        const bool taken = std::min(m, n) > 2;
        EXPECT_EQ(compare(a, engine_request{}), taken);
        EXPECT_EQ(compare(a, engine_request{false, false, true, true, true}), taken);
        EXPECT_EQ(compare(as_rational(a), engine_request{}), taken);
    }
}

TEST(Multimodular, EmptyMatricesAreLeftToTheReductions) {
    for (auto [m, n] : {std::pair{0, 0}, {0, 3}, {3, 0}}) {
        matrix<big_int> a(m, n);
        EXPECT_FALSE(compare(a, engine_request{}));
        EXPECT_FALSE(compare(as_rational(a), engine_request{}));
    }
}

// Column 0 vanishes modulo the first three primes (the rank test prime included), so
// they show a later pivot column at full rank and must give way to the fourth.
TEST(Multimodular, UnluckyFirstPrimesAreReplaced) {
    big_int f(1);
    for (int s = 0; s < 3; ++s) f = f * from_u64(engine_prime(s));
    matrix<big_int> a(2, 3);
    a(0, 0) = f;
    a(0, 1) = big_int(1);
    a(1, 0) = f * big_int(2);
    a(1, 2) = big_int(5);
    EXPECT_TRUE(compare(a, engine_request{}));
    EXPECT_TRUE(compare(as_rational(a), engine_request{}));
}

// Tall matrices of full column rank with 16 to 28 columns, asked for det (and at times B,
// the rank or the basis) but not Q: their det is the minor on the pivot rows that the
// search in doubles finds and proves, by a p-adic solution. Rows with denominators make
// the minor differ from det by the rows' scales; two columns multiplied by one number of
// up to 120 bits make det a multiple of its square, so that the cofactor left by the
// p-adic solution needs several primes; rank-deficient ones must go the other ways.
TEST(Multimodular, TallDeterminantsFromProvenGuesses) {
    const unsigned base = first_seed();
    const bool one = std::getenv("VELMORA_SEED") != nullptr;
    for (int run = 0; run < (one ? 1 : std::max(2, 12 * run_share / 4)); ++run) {
        const unsigned seed = base + run;
        std::mt19937_64 gen(seed);
        const int n = 16 + int(gen() % 13), m = n + 1 + int(gen() % (n + 4));
        const int shape = int(gen() % 3);  // plain, a common factor in two columns, rank n - 1
        SCOPED_TRACE(seed_trace(seed) + ": " + std::to_string(m) + " by " +
                     std::to_string(n) + ", shape " + std::to_string(shape));
        matrix<big_int> a(m, n);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) a(i, j) = random_entry(gen, 4 + int(gen() % 30));
        if (shape == 1) {
            const big_int f = huge_entry(gen, 20 + int(gen() % 100));
            for (int i = 0; i < m; ++i) {
                a(i, 0) = a(i, 0) * f;
                a(i, n - 1) = a(i, n - 1) * f;
            }
        } else if (shape == 2) {
            for (int i = 0; i < m; ++i) a(i, n - 1) = a(i, 0) * big_int(3) - a(i, 1);
        }
        const bool b = gen() % 2, rank = gen() % 2, basis = gen() % 2;
        EXPECT_TRUE(compare(as_rational(a), engine_request{b, false, rank, true, basis}));
        EXPECT_TRUE(compare(with_denominators(gen, a, 1 + int(gen() % 12)), engine_request{b, false, rank, true, basis}));
        if (::testing::Test::HasFailure()) break;
    }
}

// A prime that drops the rank after the rank test, and one that moves a pivot column
// later, are both passed over.
TEST(Multimodular, UnluckyLaterPrimesAreSkipped) {
    matrix<big_int> a(3, 4);
    const big_int p1 = from_u64(engine_prime(1)), p2 = from_u64(engine_prime(2));
    a(0, 0) = p1 * p2;
    a(0, 3) = big_int(1);
    a(1, 1) = big_int(3);
    a(2, 2) = p1;
    a(2, 3) = big_int(-7);
    EXPECT_TRUE(compare(a, engine_request{}));
    EXPECT_TRUE(compare(as_rational(a), engine_request{}));
}

} // namespace
} // namespace velmora
