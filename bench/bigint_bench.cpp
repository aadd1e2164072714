// big_int beside GMP's mpz_class on the same operands: +, *, /, %, Euclid's gcd loop, and
// decimal text output and input, at several word counts. Prints one table of nanoseconds per
// operation and their ratio.
#include "bigint/big_int.hpp"

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

const int word_counts[] = {1, 4, 16, 64, 256};

// One value in both representations, read from the same hexadecimal text.
struct value_pair {
    big_int ours;
    mpz_class gmp;
};

value_pair random_value(std::mt19937& rng, int words) {
    std::string hex = "0x";
    char word_text[9];
    for (int i = 0; i < words; ++i) {
        std::uint32_t w = std::uint32_t(rng());
        if (i == 0 && w == 0) w = 1;
        std::snprintf(word_text, sizeof word_text, "%08x", w);
        hex += word_text;
    }
    return {big_int(hex.c_str()), mpz_class(hex, 0)};
}

// The operands for one word count n: a and b of n words, a dividend of 2n words.
struct operands {
    int words;
    value_pair a, b, dividend;
    std::string decimal_a;
};

template <class T>
const T& pick(const value_pair& p);
template <>
const big_int& pick<big_int>(const value_pair& p) { return p.ours; }
template <>
const mpz_class& pick<mpz_class>(const value_pair& p) { return p.gmp; }

// The timed operations, each written once for both representations.
struct add_op {
    static constexpr const char* name = "+";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.a) + pick<T>(x.b); }
};
struct multiply_op {
    static constexpr const char* name = "*";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.a) * pick<T>(x.b); }
};
struct divide_op {
    static constexpr const char* name = "/ (2n by n)";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.dividend) / pick<T>(x.b); }
};
struct remainder_op {
    static constexpr const char* name = "% (2n by n)";
    template <class T>
    static T run(const operands& x) { return pick<T>(x.dividend) % pick<T>(x.b); }
};
struct gcd_op {
    static constexpr const char* name = "Euclid gcd";
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
    static constexpr const char* name = "to decimal";
    template <class T>
    static std::string run(const operands& x) {
        std::ostringstream out;
        out << pick<T>(x.a);
        return out.str();
    }
};
struct from_decimal_op {
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
        const std::string key = std::string(Op::name) + "/" + std::to_string(x.words);
        rows.push_back({Op::name, x.words, key + "/velmora", key + "/gmp"});
        benchmark::RegisterBenchmark(rows.back().ours_key.c_str(), timed<Op, big_int>, &x);
        benchmark::RegisterBenchmark(rows.back().gmp_key.c_str(), timed<Op, mpz_class>, &x);
    }
}

// Keeps the time per iteration of every run instead of printing it.
class time_collector : public benchmark::BenchmarkReporter {
public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
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
        operands x{n, random_value(rng, n), random_value(rng, n), random_value(rng, 2 * n), ""};
        x.decimal_a = x.a.gmp.get_str(10);
        all.push_back(x);
    }

    std::vector<table_row> rows;
    register_operation<add_op>(all, rows);
    register_operation<multiply_op>(all, rows);
    register_operation<divide_op>(all, rows);
    register_operation<remainder_op>(all, rows);
    register_operation<gcd_op>(all, rows);
    register_operation<to_decimal_op>(all, rows);
    register_operation<from_decimal_op>(all, rows);

    time_collector times;
    benchmark::RunSpecifiedBenchmarks(&times);
    benchmark::Shutdown();

    std::printf("big_int beside GMP mpz_class, nanoseconds per operation (ratio = velmora / gmp)\n");
    std::printf("%-14s %6s %14s %14s %9s\n", "operation", "words", "velmora ns", "gmp ns", "ratio");
    for (const table_row& row : rows) {
        const auto ours = times.nanoseconds.find(row.ours_key);
        const auto gmp = times.nanoseconds.find(row.gmp_key);
        if (ours == times.nanoseconds.end() || gmp == times.nanoseconds.end()) continue;
        std::printf("%-14s %6d %14.1f %14.1f %9.2f\n", row.operation.c_str(), row.words, ours->second,
                    gmp->second, ours->second / gmp->second);
    }
    return 0;
}
