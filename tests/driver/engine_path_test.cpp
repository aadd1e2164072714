// Whole runs of both programs with and without the multimodular engine print the same
// bytes on standard output and standard error and end with the same status: seeded
// random inputs of every rank, rational entries, and inputs with errors.
// A failure prints its seed; VELMORA_SEED=<seed> reruns from it.
#include "diag/testing.hpp"
#include "diag/thread_pool.hpp"
#include "support/plain_programs.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

struct run_output {
    int status;
    std::string out, err;
};

template <class Tool>
run_output run(const std::vector<const char*>& args, const std::string& input) {
    reset_diagnostics();
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::istringstream in(input);
    std::ostringstream out;
    ::testing::internal::CaptureStderr();
    const int status = run_program<Tool>(static_cast<int>(argv.size()), argv.data(), in, out);
    const std::string err = ::testing::internal::GetCapturedStderr();
    reset_diagnostics();
    return {status, out.str(), err};
}

// Every output but the time, which may differ by a clock tick.
const std::vector<std::vector<const char*>> option_sets = {
    {}, {"-a", "-s", "-q", "-r", "-d", "-b", "-i"}, {"-d"}, {"-q"}, {"-r", "-b"}, {"-s", "-d"}, {"-i"}, {"-r"},
    {"-r", "-d", "-i"}, {"-q", "-d"}};

template <class Tool, class Plain>
void expect_same_runs(const std::string& input) {
    for (const auto& args : option_sets) {
        const run_output fast = run<Tool>(args, input), plain = run<Plain>(args, input);
        EXPECT_EQ(fast.status, plain.status) << input;
        EXPECT_EQ(fast.out, plain.out) << input;
        EXPECT_EQ(fast.err, plain.err) << input;
    }
}

void expect_same_runs_both(const std::string& input) {
    expect_same_runs<zerk_tool, zerk_plain_tool>(input);
    expect_same_runs<zerkint_tool, zerkint_plain_tool>(input);
}

// An m-by-n matrix in the input format; rank m - deficiency at most, some rational
// entries when fractions is set (zerkint reads those as input errors).
std::string random_input(std::mt19937& gen, int m, int n, int deficiency, bool fractions) {
    std::uniform_int_distribution<int> entry(-20, 20), den(1, 6);
    std::vector<std::vector<int>> a(m, std::vector<int>(n));
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a[i][j] = i < m - deficiency ? entry(gen) : 0;
    for (int i = m - deficiency; i < m; ++i)
        for (int r = 0; r < m - deficiency; ++r) {
            const int f = entry(gen) % 3;
            for (int j = 0; j < n; ++j) a[i][j] += f * a[r][j];
        }
    std::string text = std::to_string(m) + " " + std::to_string(n) + "\n";
    for (const auto& row : a) {
        for (int x : row) {
            text += std::to_string(x);
            if (fractions && gen() % 3 == 0) {
                text += '/';
                text += std::to_string(den(gen));
            }
            text += " ";
        }
        text += "\n";
    }
    return text;
}

// Run k takes its input from the seed base + k alone, and the runs stop at the first
// failure: rerun with the seed it printed, that input comes first.
TEST(EnginePath, RandomRunsPrintTheSameBytes) {
    const std::uint64_t base = seed_from_environment(20240817);
    for (int run = 0; run < 60 && !::testing::Test::HasFailure(); ++run) {
        const std::uint64_t seed = base + run;
        SCOPED_TRACE(seed_trace(seed));
        std::mt19937 gen(static_cast<std::mt19937::result_type>(seed));
        const int m = 1 + int(gen() % 7), n = 1 + int(gen() % 7);
        expect_same_runs_both(random_input(gen, m, n, int(gen() % std::min(m, 4)), gen() % 2 == 0));
    }
}

// The threads share the work but not the results: every byte is the same at any count.
TEST(EnginePath, SameBytesForEveryThreadCount) {
    std::mt19937 gen(2);
    std::vector<std::string> inputs;
    for (int run = 0; run < 6; ++run) {
        const int m = 12 + int(gen() % 20), n = 12 + int(gen() % 20);
        inputs.push_back(random_input(gen, m, n, run % 3 == 0 ? 0 : int(gen() % 6), run % 2 == 0));
    }
    // Large enough that the text of the matrices is made in blocks over the threads.
    inputs.push_back(random_input(gen, 50, 60, 7, true));
    const std::vector<const char*> args = {"-a", "-q", "-r", "-d", "-b", "-i"};
    for (const std::string& input : inputs) {
        set_thread_count(1);
        const run_output one = run<zerk_tool>(args, input), one_int = run<zerkint_tool>(args, input);
        for (int threads : {2, 3, 8}) {
            set_thread_count(threads);
            const run_output many = run<zerk_tool>(args, input), many_int = run<zerkint_tool>(args, input);
            EXPECT_EQ(many.out, one.out) << threads << " threads";
            EXPECT_EQ(many_int.out, one_int.out) << threads << " threads";
            EXPECT_EQ(many.err + many_int.err, one.err + one_int.err);
        }
    }
    set_thread_count(1);
}

TEST(EnginePath, InputErrorsAndEmptyMatrices) {
    for (const char* input : {"", "2 2\n1 2\n3\n", "2 2\n1/0 2\n3 4\n", "1 2\n7 x\n", "0 3\n", "3 0\n",
                              "2 3\n1 2 3\n4 5 6\n7\n", "1 1\n-2\n", "2 2\n0 2\n1 1\n"})
        expect_same_runs_both(input);
}

} // namespace
} // namespace velmora
