// big_int beside GMP's mpz_class on the same operands: +, *, /, %, exact /, gcd, Euclid's gcd
// loop, and decimal text output and input, at word counts (64-bit words) from 1 to 65536.
// Prints one table of nanoseconds per operation and their ratio, headed by the kernel that
// big_int runs on in this build.
#include "bigint/big_int.hpp"
#include "bigint/kernel.hpp"

#include <benchmark/benchmark.h>
#include <gmpxx.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

const int word_counts[] = {1, 4, 16, 64, 256, 4096, 65536};

// One value in both representations, read from the same hexadecimal text.
struct value_pair {
    big_int ours;
    mpz_class gmp;
};

value_pair random_value(std::mt19937& rng, int words) {
    std::string hex = "0x";
    char word_text[17];
    for (int i = 0; i < words; ++i) {
        std::uint64_t w = (std::uint64_t(rng()) << 32) | rng();
        if (i == 0 && w == 0) w = 1;
        std::snprintf(word_text, sizeof word_text, "%016llx", static_cast<unsigned long long>(w));
        hex += word_text;
    }
    return {big_int(hex.c_str()), mpz_class(hex, 0)};
}

// The operands for one word count n: a and b of n words, a dividend of 2n words, the
// product a * b.
struct operands {
    int words;
    value_pair a, b, dividend, product;
    std::string decimal_a;
};

big_int gcd_of(const big_int& a, const big_int& b) { return gcd(a, b); }
mpz_class gcd_of(const mpz_class& a, const mpz_class& b) {
    mpz_class g;
    mpz_gcd(g.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
    return g;
}

big_int exact_of(const big_int& a, const big_int& b) { return exact_quotient(a, b); }
mpz_class exact_of(const mpz_class& a, const mpz_class& b) {
    mpz_class q;
    mpz_divexact(q.get_mpz_t(), a.get_mpz_t(), b.get_mpz_t());
    return q;
}

template <class T>
const T& pick(const value_pair& p);
template <>
const big_int& pick<big_int>(const value_pair& p) { return p.ours; }
template <>
const mpz_class& pick<mpz_class>(const value_pair& p) { return p.gmp; }

// The timed operations, each written once for both representations.
struct add_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "+";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.a) + pick<T>(x.b); }
};
struct multiply_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "*";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.a) * pick<T>(x.b); }
};
struct divide_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "/ (2n by n)";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.dividend) / pick<T>(x.b); }
};
struct remainder_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "% (2n by n)";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.dividend) % pick<T>(x.b); }
};
struct exact_op {
    static constexpr const char* name = "exact / (2n by n)";
    static constexpr int max_words = 65536;
    template <class T>
    static T run(const operands& x) { return exact_of(pick<T>(x.product), pick<T>(x.b)); }
};
struct gcd_op {
    static constexpr const char* name = "gcd";
    static constexpr int max_words = 65536;
    template <class T>
    static T run(const operands& x) { return gcd_of(pick<T>(x.a), pick<T>(x.b)); }
};
struct euclid_op {
    static constexpr const char* name = "Euclid gcd";
    // A division per step: quadratic steps of linear cost beyond this.
    static constexpr int max_words = 256;
    template <class T>
    static T run(const operands& x) {
        const T zero(0);
        T a = pick<T>(x.a), b = pick<T>(x.b);
        while (b != zero) {
            T r = a % b;
            a = b;
            b = r;
        }
        return a;
    }
};
struct to_decimal_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "to decimal";
    template <class T>
    static std::string run(const operands& x) {
        std::ostringstream out;
        out << pick<T>(x.a);
        return out.str();
    }
};
struct from_decimal_op {
    static constexpr int max_words = 65536;
    static constexpr const char* name = "from decimal";
    template <class T>
    static T run(const operands& x) {
        std::istringstream in(x.decimal_a);
        T v;
        in >> v;
        return v;
    }
};

template <class Op, class T>
void timed(benchmark::State& state, const operands* x) {
    for (auto _ : state) {
        auto result = Op::template run<T>(*x);
        benchmark::DoNotOptimize(result);
    }
}

struct table_row {
    std::string operation;
    int words;
    std::string ours_key, gmp_key;
};

template <class Op>
void register_operation(const std::vector<operands>& all, std::vector<table_row>& rows) {
    for (const operands& x : all) {
        if (x.words > Op::max_words) continue;
        const std::string key = std::string(Op::name) + "/" + std::to_string(x.words);
        rows.push_back({Op::name, x.words, key + "/velmora", key + "/gmp"});
        benchmark::RegisterBenchmark(rows.back().ours_key.c_str(), timed<Op, big_int>, &x)->MinTime(0.2);
        benchmark::RegisterBenchmark(rows.back().gmp_key.c_str(), timed<Op, mpz_class>, &x)->MinTime(0.2);
    }
}

// Keeps the processor time per iteration of every run instead of printing it (steadier than
// wall time on a machine that runs other work).
class time_collector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }
    std::map<std::string, double> nanoseconds;
};

} // namespace
} // namespace velmora

int main(int argc, char** argv) {
    using namespace velmora;
    benchmark::Initialize(&argc, argv);

    std::mt19937 rng(12345);
    std::vector<operands> all;
    all.reserve(std::size(word_counts));
    for (const int n : word_counts) {
        operands x{n, random_value(rng, n), random_value(rng, n), random_value(rng, 2 * n), {}, ""};
        x.product = {x.a.ours * x.b.ours, x.a.gmp * x.b.gmp};
        x.decimal_a = x.a.gmp.get_str(10);
        all.push_back(x);
    }

    std::vector<table_row> rows;
    register_operation<add_op>(all, rows);
    register_operation<multiply_op>(all, rows);
    register_operation<divide_op>(all, rows);
    register_operation<remainder_op>(all, rows);
    register_operation<exact_op>(all, rows);
    register_operation<gcd_op>(all, rows);
    register_operation<euclid_op>(all, rows);
    register_operation<to_decimal_op>(all, rows);
    register_operation<from_decimal_op>(all, rows);

    time_collector times;
    benchmark::RunSpecifiedBenchmarks(&times);
    benchmark::Shutdown();

    std::printf("big_int on the %s kernel beside GMP mpz_class, processor nanoseconds per operation, 64-bit words "
                "(ratio = velmora / gmp)\n",
                kernel_name());
    std::printf("%-18s %6s %14s %14s %9s\n", "operation", "words", "velmora ns", "gmp ns", "ratio");
    for (const table_row& row : rows) {
        const auto ours = times.nanoseconds.find(row.ours_key);
        const auto gmp = times.nanoseconds.find(row.gmp_key);
        if (ours == times.nanoseconds.end() || gmp == times.nanoseconds.end()) continue;
        std::printf("%-18s %6d %14.1f %14.1f %9.2f\n", row.operation.c_str(), row.words, ours->second,
                    gmp->second, ours->second / gmp->second);
    }
    return 0;
}
