// Whole-program benchmark: zerk and zerkint beside the same elimination on GMP
// (gmp_reduce) on generated matrices, timed from outside as a user runs them.
// For each case it first checks that both print the same B, Q, rank, det and
// basis, then prints the median wall time and peak memory (max RSS) of each and
// their ratio, as a table and as CSV.
//   program_bench <directory of the programs> [runs] [case name filter]
// Optional contenders, measured when their executable is in the directory:
// zerk_plain and zerkint_plain (the programs held to the row-by-row
// elimination) and flint_rref (FLINT's rref of [A | I]).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum class entries { integer, rational, rank_half };

struct bench_case {
    std::string name;
    int rows, cols, range;
    entries kind;
};

struct measurement {
    double seconds = -1;  // median wall time; -1 when not measured
    long max_rss_kb = 0;  // largest peak resident size over the runs
    int status = 0;
};

std::string input_path(const bench_case& c) { return "/tmp/velmora_bench_" + c.name + ".in"; }

// Writes the case's matrix: uniform entries in [-range, range], fractions with
// denominators in [1, range], or a product of an m-by-r and an r-by-n matrix
// (r = min(m, n) / 2) so that the rank is r.
void write_matrix(const bench_case& c, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> entry(-c.range, c.range), denominator(1, c.range);
    std::ofstream f(input_path(c));
    f << c.rows << ' ' << c.cols << '\n';
    if (c.kind == entries::rank_half) {
        const int r = std::min(c.rows, c.cols) / 2;
        std::vector<std::vector<long>> left(c.rows, std::vector<long>(r)), right(r, std::vector<long>(c.cols));
        for (auto& row : left)
            for (auto& x : row) x = entry(gen);
        for (auto& row : right)
            for (auto& x : row) x = entry(gen);
        for (int i = 0; i < c.rows; ++i) {
            for (int j = 0; j < c.cols; ++j) {
                long s = 0;
                for (int k = 0; k < r; ++k) s += left[i][k] * right[k][j];
                f << s << ' ';
            }
            f << '\n';
        }
        return;
    }
    for (int i = 0; i < c.rows; ++i) {
        for (int j = 0; j < c.cols; ++j) {
            f << entry(gen);
            if (c.kind == entries::rational) f << '/' << denominator(gen);
            f << ' ';
        }
        f << '\n';
    }
}

// Runs argv with standard input from input and standard output to output.
measurement run_once(const std::vector<std::string>& argv, const std::string& input,
                     const std::string& output = "/dev/null") {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.c_str(), O_RDONLY);
        const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        std::vector<char*> args;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    measurement m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.max_rss_kb = usage.ru_maxrss;
    m.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

// Median of up to runs runs; stops early once the runs so far took over a minute.
measurement run_median(const std::vector<std::string>& argv, const std::string& input, int runs) {
    std::vector<double> times;
    measurement result;
    double total = 0;
    for (int k = 0; k < runs && total < 60; ++k) {
        const measurement m = run_once(argv, input);
        times.push_back(m.seconds);
        total += m.seconds;
        result.max_rss_kb = std::max(result.max_rss_kb, m.max_rss_kb);
        if (m.status != 0) result.status = m.status;
    }
    std::sort(times.begin(), times.end());
    result.seconds = times[times.size() / 2];
    return result;
}

std::string file_text(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// The program's -l output up to its time section.
std::string results_part(const std::string& text) {
    const std::size_t time = text.find("!Time (seconds) =\n");
    return time == std::string::npos ? text : text.substr(0, time);
}

bool executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::string seconds_text(const measurement& m) {
    char text[32];
    if (m.seconds < 0) return "-";
    std::snprintf(text, sizeof text, "%.3f", m.seconds);
    return text;
}

std::string ratio_text(double a, double b) {
    char text[32];
    if (a < 0 || b <= 0) return "-";
    std::snprintf(text, sizeof text, "%.2f", a / b);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_bench <program directory> [runs] [case filter]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string filter = argc > 3 ? argv[3] : "";
    std::vector<bench_case> cases;
    for (int range : {9, 999})
        for (int n : {20, 40, 60, 80, 100})
            cases.push_back({"int" + std::to_string(range) + "_" + std::to_string(n) + "x" + std::to_string(n), n,
                             n, range, entries::integer});
    for (int n : {40, 80}) {
        const std::string side = std::to_string(n), twice = std::to_string(2 * n);
        cases.push_back({"int9_" + side + "x" + twice, n, 2 * n, 9, entries::integer});
        cases.push_back({"int9_" + twice + "x" + side, 2 * n, n, 9, entries::integer});
    }
    cases.push_back({"rank40_80x80", 80, 80, 9, entries::rank_half});
    cases.push_back({"frac9_40x40", 40, 40, 9, entries::rational});

    const bool with_plain = executable(dir + "/zerk_plain") && executable(dir + "/zerkint_plain");
    const bool with_flint = executable(dir + "/flint_rref");
    std::printf("\nPrograms with -l beside the same elimination on GMP (median of up to %d runs)\n", runs);
    std::printf("%-15s %-8s %9s %9s %7s %10s %10s %7s %10s %9s %6s\n", "case", "program", "ours s", "GMP s",
                "ratio", "ours MB", "GMP MB", "ratio", "plain s", "FLINT s", "agree");
    std::string csv = "case,program,ours_s,gmp_s,time_ratio,ours_rss_kb,gmp_rss_kb,rss_ratio,plain_s,flint_s,agree\n";
    int disagreements = 0;
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const bench_case& c = cases[k];
        if (c.name.find(filter) == std::string::npos) continue;
        write_matrix(c, 1000u + static_cast<unsigned>(k));
        const std::string input = input_path(c);
        for (const std::string program : {"zerk", "zerkint"}) {
            if (c.kind == entries::rational && program == "zerkint") continue;
            const std::vector<std::string> ours = {dir + "/" + program, "-l"};
            const std::vector<std::string> gmp = {dir + "/gmp_reduce", program};
            run_once(ours, input, "/tmp/velmora_bench_ours.out");
            run_once(gmp, input, "/tmp/velmora_bench_gmp.out");
            const bool agree = results_part(file_text("/tmp/velmora_bench_ours.out")) ==
                               file_text("/tmp/velmora_bench_gmp.out");
            if (!agree) ++disagreements;
            const measurement o = run_median(ours, input, runs);
            const measurement g = run_median(gmp, input, runs);
            measurement plain, flint;
            if (with_plain) plain = run_median({dir + "/" + program + "_plain", "-l"}, input, runs);
            if (with_flint) flint = run_median({dir + "/flint_rref", program}, input, runs);
            const std::string rss_ratio = ratio_text(o.max_rss_kb, g.max_rss_kb);
            std::printf("%-15s %-8s %9s %9s %7s %10.1f %10.1f %7s %10s %9s %6s\n", c.name.c_str(), program.c_str(),
                        seconds_text(o).c_str(), seconds_text(g).c_str(), ratio_text(o.seconds, g.seconds).c_str(),
                        o.max_rss_kb / 1024.0, g.max_rss_kb / 1024.0, rss_ratio.c_str(),
                        seconds_text(plain).c_str(), seconds_text(flint).c_str(), agree ? "yes" : "NO");
            std::fflush(stdout);
            char line[512];
            std::snprintf(line, sizeof line, "%s,%s,%s,%s,%s,%ld,%ld,%s,%s,%s,%s\n", c.name.c_str(), program.c_str(),
                          seconds_text(o).c_str(), seconds_text(g).c_str(), ratio_text(o.seconds, g.seconds).c_str(),
                          o.max_rss_kb, g.max_rss_kb, rss_ratio.c_str(), seconds_text(plain).c_str(),
                          seconds_text(flint).c_str(), agree ? "yes" : "no");
            csv += line;
        }
        std::remove(input.c_str());
    }
    std::printf("\nCSV:\n%s", csv.c_str());
    if (disagreements) std::printf("\n%d case(s) where the results differ from GMP's\n", disagreements);
    return disagreements ? 1 : 0;
}
