// Whole-program benchmark, timed from outside as a user runs the programs, on
// generated matrices. For each case and program it measures
//   ours   zerk or zerkint -l (the multimodular engine),
//   plain  zerk_plain or zerkint_plain -l (the same programs held to the row-by-row
//          elimination),
//   GMP    gmp_reduce, the row-by-row elimination written on GMP,
//   FLINT  flint_rref, FLINT's rref of [A | I] (where it was built),
// first checking that ours, plain and GMP print the same B, Q, rank, det and basis.
// Prints median wall time and peak memory (max RSS) and their ratios, as a table
// and as CSV. The row-by-row contenders (plain and GMP) take minutes on the largest
// cases and are measured only up to a number of entries (default 100 * 100), and not
// at all on huge entries. Rank-deficient, tall and huge-entry cases are also timed
// option by option (zerk: -b, -r, -i, -d and a mix; zerkint: -b, -q, -r and a mix) beside
// FLINT's rref of A alone (the main table has its rref of [A | I] beside -l).
//   program_bench <directory of the programs> [runs] [case name filter] [largest plain entry count]
#include <gmpxx.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

enum class entries { integer, rational, rank_half, rank_half_rational, huge };

struct bench_case {
    std::string name;
    int rows, cols, range;  // range: the bits of each entry for huge entries
    entries kind;
    bool row_by_row = true;  // whether the row-by-row contenders can finish at all
};

struct measurement {
    double seconds = -1;  // median wall time; -1 when not measured
    long max_rss_kb = -1; // largest peak resident size over the runs
    int status = 0;
};

std::string input_path(const bench_case& c) { return "/tmp/velmora_bench_" + c.name + ".in"; }

// Writes the case's matrix: uniform entries in [-range, range], fractions of those
// over denominators in [1, range], a product of an m-by-r and an r-by-n matrix
// (r = min(m, n) / 2) so that the rank is r (its rows divided by denominators in
// [1, range] for rank_half_rational), or integers of `range` random bits.
void write_matrix(const bench_case& c, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> entry(-c.range, c.range), denominator(1, c.range);
    std::ofstream f(input_path(c));
    f << c.rows << ' ' << c.cols << '\n';
    if (c.kind == entries::huge) {
        gmp_randclass random(gmp_randinit_default);
        random.seed(seed);
        for (int i = 0; i < c.rows; ++i) {
            for (int j = 0; j < c.cols; ++j) {
                const mpz_class x = random.get_z_bits(c.range);
                f << (gen() % 2 ? "-" : "") << x.get_str() << ' ';
            }
            f << '\n';
        }
        return;
    }
    if (c.kind == entries::rank_half || c.kind == entries::rank_half_rational) {
        const int r = std::min(c.rows, c.cols) / 2;
        std::vector<std::vector<long>> left(c.rows, std::vector<long>(r)), right(r, std::vector<long>(c.cols));
        for (auto& row : left)
            for (auto& x : row) x = entry(gen);
        for (auto& row : right)
            for (auto& x : row) x = entry(gen);
        for (int i = 0; i < c.rows; ++i) {
            const int d = c.kind == entries::rank_half_rational ? denominator(gen) : 1;
            for (int j = 0; j < c.cols; ++j) {
                long s = 0;
                for (int k = 0; k < r; ++k) s += left[i][k] * right[k][j];
                f << s;
                if (d != 1) f << '/' << d;
                f << ' ';
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

// With VELMORA_BENCH_CPU set, times are the children's processor time (user and system)
// instead of wall time: steadier on a machine that runs other work.
bool cpu_time() {
    static const bool set = std::getenv("VELMORA_BENCH_CPU") != nullptr;
    return set;
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
    if (cpu_time())
        m.seconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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

// True when the output file ours, up to its time section, equals the file expected,
// read line by line so that this process stays small: a child's peak memory as the
// kernel counts it starts from the size of the process that forked it.
bool same_results(const std::string& ours, const std::string& expected) {
    std::ifstream a(ours), b(expected);
    std::string x, y;
    while (std::getline(a, x)) {
        if (x == "!Time (seconds) =") return !std::getline(b, y);
        if (!std::getline(b, y) || x != y) return false;
    }
    return !std::getline(b, y);
}

// Whether argv prints the results that expected_argv prints.
bool prints_the_same(const std::vector<std::string>& argv, const std::vector<std::string>& expected_argv,
           const std::string& input) {
    const std::string ours = "/tmp/velmora_bench_ours.out", expected = "/tmp/velmora_bench_expected.out";
    run_once(argv, input, ours);
    run_once(expected_argv, input, expected);
    const bool same = same_results(ours, expected);
    std::remove(ours.c_str());
    std::remove(expected.c_str());
    return same;
}

bool executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::string seconds_text(const measurement& m) {
    char text[32];
    if (m.seconds < 0) return "-";
    std::snprintf(text, sizeof text, "%.3f", m.seconds);
    return text;
}

std::string megabytes_text(const measurement& m) {
    char text[32];
    if (m.max_rss_kb < 0) return "-";
    std::snprintf(text, sizeof text, "%.1f", m.max_rss_kb / 1024.0);
    return text;
}

std::string ratio_text(double a, double b) {
    char text[32];
    if (a < 0 || b <= 0) return "-";
    std::snprintf(text, sizeof text, "%.2f", a / b);
    return text;
}

std::vector<bench_case> all_cases() {
    std::vector<bench_case> cases;
    auto add = [&](int rows, int cols, int range, entries kind) {
        const char* prefix = kind == entries::rational             ? "frac"
                             : kind == entries::rank_half          ? "rankhalf"
                             : kind == entries::rank_half_rational ? "rankhalffrac"
                             : kind == entries::huge               ? "bits"
                                                                   : "int";
        cases.push_back({prefix + std::to_string(range) + "_" + std::to_string(rows) + "x" + std::to_string(cols),
                         rows, cols, range, kind});
    };
    for (int range : {9, 999})
        for (int n : {20, 40, 60, 80, 100, 150}) add(n, n, range, entries::integer);
    for (int n : {20, 40, 80}) add(n, n, 99, entries::integer);
    for (int range : {9, 999})
        for (int n : {40, 80, 100, 150}) add(n, 2 * n, range, entries::integer);
    for (int n : {40, 80}) add(2 * n, n, 9, entries::integer);
    add(80, 80, 9, entries::rank_half);
    add(40, 40, 9, entries::rational);
    add(80, 80, 9, entries::rational);
    // Rank-deficient, tall and huge-entry matrices, also timed option by option.
    for (int range : {9, 999})
        for (int n : {100, 150, 200}) add(n, n, range, entries::rank_half);
    for (int range : {9, 999})
        for (int n : {100, 150, 200}) add(2 * n, n, range, entries::integer);
    for (int n : {100, 150, 200}) add(n, n, 9, entries::rank_half_rational);
    add(20, 20, 10000, entries::huge);
    add(10, 10, 100000, entries::huge);
    cases.back().row_by_row = false;
    cases[cases.size() - 2].row_by_row = false;
    return cases;
}

// Whether the case is also timed option by option beside FLINT's rref of A.
bool by_option(const bench_case& c) {
    return c.kind == entries::huge || c.kind == entries::rank_half_rational ||
           (c.kind == entries::rank_half && c.rows >= 100) || (c.rows == 2 * c.cols && c.cols >= 100);
}

// Large matrices of entries in [-9, 9] (and one of rank 500), zerkint's rank and determinant
// alone beside FLINT's fmpz_mat_rank and fmpz_mat_det and LinBox's rank modulo one prime
// (not proven) where they are built: one run each, wall time and peak memory.
void large_table(const std::string& dir, const std::string& filter, bool with_flint) {
    const bool with_linbox = executable(dir + "/linbox_rank");
    struct large_case {
        int rows, cols;
        entries kind;
        bool det;
    };
    const large_case cases[] = {{1000, 1000, entries::integer, true}, {2000, 2000, entries::integer, true},
                                {4000, 4000, entries::integer, false}, {2000, 1000, entries::integer, false},
                                {1000, 1000, entries::rank_half, false}};
    std::printf("\nLarge matrices, zerkint alone, wall seconds (peak MB) of one run\n");
    std::printf("%-20s %-4s %16s %16s %16s %9s\n", "case", "run", "ours", "FLINT", "LinBox", "ours/FLINT");
    unsigned seed = 5000;
    for (const large_case& l : cases) {
        const bench_case c{std::string(l.kind == entries::rank_half ? "rankhalf9_" : "int9_") + std::to_string(l.rows) +
                               "x" + std::to_string(l.cols),
                           l.rows, l.cols, 9, l.kind};
        if (c.name.find(filter) == std::string::npos) continue;
        write_matrix(c, seed++);
        const std::string input = input_path(c);
        for (const bool det : {false, true}) {
            if (det && !l.det) continue;
            const measurement o = run_median({dir + "/zerkint", det ? "-d" : "-r"}, input, 1);
            const measurement f = with_flint ? run_median({dir + "/flint_rref", det ? "det" : "rank"}, input, 1)
                                             : measurement{};
            const measurement b = with_linbox && !det ? run_median({dir + "/linbox_rank"}, input, 1) : measurement{};
            auto cell = [](const measurement& m) { return seconds_text(m) + " (" + megabytes_text(m) + ")"; };
            std::printf("%-20s %-4s %16s %16s %16s %9s\n", c.name.c_str(), det ? "-d" : "-r", cell(o).c_str(),
                        cell(f).c_str(), cell(b).c_str(), ratio_text(o.seconds, f.seconds).c_str());
            std::fflush(stdout);
        }
        std::remove(input.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_bench <program directory> [runs] [case filter] [largest plain entry count]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string filter = argc > 3 ? argv[3] : "";
    const long plain_limit = argc > 4 ? std::atol(argv[4]) : 100L * 100L;
    const bool with_plain = executable(dir + "/zerk_plain") && executable(dir + "/zerkint_plain");
    const bool with_flint = executable(dir + "/flint_rref");

    std::printf("\nPrograms with -l, median %s seconds of up to %d runs, peak memory in MB\n",
                cpu_time() ? "processor" : "wall", runs);
    std::printf("%-20s %-8s %8s %8s %8s %8s %9s %9s %9s %8s %8s %8s %6s\n", "case", "program", "ours", "plain",
                "GMP", "FLINT", "plain/GMP", "ours/FLINT", "plain/ours", "ours MB", "plain MB", "GMP MB", "agree");
    std::string csv = "case,program,ours_s,plain_s,gmp_s,flint_s,plain_over_gmp,ours_over_flint,plain_over_ours,"
                      "ours_mb,plain_mb,gmp_mb,agree\n";
    int disagreements = 0;
    std::string options_table;
    const std::vector<bench_case> cases = all_cases();
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const bench_case& c = cases[k];
        if (c.name.find(filter) == std::string::npos) continue;
        write_matrix(c, 1000u + static_cast<unsigned>(k));
        const std::string input = input_path(c);
        const bool row_by_row = c.row_by_row && static_cast<long>(c.rows) * c.cols <= plain_limit;
        for (const std::string program : {"zerk", "zerkint"}) {
            if ((c.kind == entries::rational || c.kind == entries::rank_half_rational) && program == "zerkint") continue;
            const std::vector<std::string> ours = {dir + "/" + program, "-l"};
            const std::vector<std::string> plain = {dir + "/" + program + "_plain", "-l"};
            const std::vector<std::string> gmp = {dir + "/gmp_reduce", program};
            measurement o = run_median(ours, input, runs), p, g, f;
            std::string agree = "-";
            if (row_by_row) {
                bool same = prints_the_same(ours, gmp, input);
                if (with_plain) same = same && prints_the_same(plain, gmp, input);
                agree = same ? "yes" : "NO";
                if (!same) ++disagreements;
                g = run_median(gmp, input, runs);
                if (with_plain) p = run_median(plain, input, runs);
            }
            if (with_flint) f = run_median({dir + "/flint_rref", program}, input, runs);
            const std::string cells[] = {
                seconds_text(o),      seconds_text(p),       seconds_text(g),
                seconds_text(f),      ratio_text(p.seconds, g.seconds),
                ratio_text(o.seconds, f.seconds),            ratio_text(p.seconds, o.seconds),
                megabytes_text(o),    megabytes_text(p),     megabytes_text(g),
                agree};
            std::printf("%-20s %-8s %8s %8s %8s %8s %9s %9s %9s %8s %8s %8s %6s\n", c.name.c_str(), program.c_str(),
                        cells[0].c_str(), cells[1].c_str(), cells[2].c_str(), cells[3].c_str(), cells[4].c_str(),
                        cells[5].c_str(), cells[6].c_str(), cells[7].c_str(), cells[8].c_str(), cells[9].c_str(),
                        cells[10].c_str());
            std::fflush(stdout);
            csv += c.name + "," + program;
            for (const auto& cell : cells) csv += "," + cell;
            csv += "\n";
            if (!by_option(c)) continue;
            // Each result alone and a mix, beside FLINT's rref of A alone.
            const measurement flint_a =
                with_flint ? run_median({dir + "/flint_rref", program, "A"}, input, runs) : measurement{};
            const std::vector<std::vector<std::string>> option_sets =
                program == "zerk" ? std::vector<std::vector<std::string>>{{"-b"}, {"-r"}, {"-i"}, {"-d"}, {"-r", "-d", "-i"}}
                                  : std::vector<std::vector<std::string>>{{"-b"}, {"-q"}, {"-r", "-d", "-i"}, {"-r"}};
            for (const auto& options : option_sets) {
                std::vector<std::string> argv = {dir + "/" + program};
                std::string label;
                for (const auto& o : options) {
                    argv.push_back(o);
                    label += (label.empty() ? "" : " ") + o;
                }
                const measurement m = run_median(argv, input, runs);
                char line[256];
                std::snprintf(line, sizeof line, "%-20s %-8s %-9s %8s %8s %9s\n", c.name.c_str(), program.c_str(),
                              label.c_str(), seconds_text(m).c_str(), seconds_text(flint_a).c_str(),
                              ratio_text(m.seconds, flint_a.seconds).c_str());
                options_table += line;
            }
        }
        std::remove(input.c_str());
    }
    std::printf("\nOptions alone, median %s seconds, beside FLINT's rref of A (fmpq for zerk, fmpz for zerkint)\n",
                cpu_time() ? "processor" : "wall");
    std::printf("%-20s %-8s %-9s %8s %8s %9s\n", "case", "program", "options", "ours", "FLINT A", "ours/FLINT");
    std::printf("%s", options_table.c_str());
    large_table(dir, filter, with_flint);
    std::printf("\nCSV:\n%s", csv.c_str());
    if (disagreements) std::printf("\n%d case(s) where the results differ from GMP's\n", disagreements);
    return disagreements ? 1 : 0;
}
