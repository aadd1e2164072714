// The engine beside the plain reductions and FLINT: zerk and zerkint with -l, the same
// programs with the engine switched off (zerk_plain, zerkint_plain) and FLINT's
// rref of [A | I] (flint_rref zerk and zerkint), on random full-rank and rank-deficient integer
// matrices and on rational ones. Prints median wall seconds per case, a table and CSV.
//   engine_bench <directory of the programs> [runs] [largest order for the plain programs]
// The plain programs are skipped (shown as -) above that order (default 40): it takes
// minutes there.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct bench_case {
    std::string name;
    int rows, cols, range;
    bool rational;
    int deficiency;  // rows made combinations of the others
};

std::string write_matrix(const bench_case& c, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> entry(-c.range, c.range), den(1, 9), factor(-3, 3);
    std::vector<std::vector<long>> a(c.rows, std::vector<long>(c.cols));
    for (auto& row : a)
        for (long& x : row) x = entry(gen);
    for (int i = c.rows - c.deficiency; i < c.rows; ++i) {
        std::fill(a[i].begin(), a[i].end(), 0L);
        for (int r = 0; r < c.rows - c.deficiency; ++r) {
            const int f = factor(gen);
            for (int j = 0; j < c.cols; ++j) a[i][j] += f * a[r][j];
        }
    }
    const std::string path = "/tmp/velmora_engine_bench_" + c.name + ".in";
    FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "%d %d\n", c.rows, c.cols);
    for (const auto& row : a) {
        for (long x : row) {
            if (c.rational) std::fprintf(f, "%ld/%d ", x, den(gen));
            else std::fprintf(f, "%ld ", x);
        }
        std::fputc('\n', f);
    }
    std::fclose(f);
    return path;
}

// Wall seconds of one run of program with argument arg, input from path, output discarded.
double run_once(const std::string& program, const char* arg, const std::string& input) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.c_str(), O_RDONLY), out = open("/dev/null", O_WRONLY);
        dup2(in, 0);
        dup2(out, 1);
        execl(program.c_str(), program.c_str(), arg, static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(const std::string& program, const char* arg, const std::string& input, int runs) {
    std::vector<double> t;
    for (int k = 0; k < runs; ++k) t.push_back(run_once(program, arg, input));
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

std::string seconds(double s) {
    char text[32];
    if (s < 0) return "-";
    std::snprintf(text, sizeof text, "%.3f", s);
    return text;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: engine_bench <program directory> [runs] [largest plain order]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const int plain_max = argc > 3 ? std::atoi(argv[3]) : 40;
    const bool flint = access((dir + "/flint_rref").c_str(), X_OK) == 0;
    std::vector<bench_case> cases;
    for (int n : {40, 80, 100, 150})
        for (int range : {9, 999}) {
            cases.push_back({"int" + std::to_string(range) + "_" + std::to_string(n) + "x" + std::to_string(n), n, n, range, false, 0});
            cases.push_back({"int" + std::to_string(range) + "_" + std::to_string(n) + "x" + std::to_string(2 * n), n, 2 * n, range, false, 0});
        }
    cases.push_back({"rat9_80x80", 80, 80, 9, true, 0});
    cases.push_back({"rat999_80x80", 80, 80, 999, true, 0});
    cases.push_back({"deficient99_40x40", 40, 40, 99, false, 1});
    cases.push_back({"deficient99_80x80", 80, 80, 99, false, 1});
    std::printf("\nEngine, plain reductions and FLINT's rref of [A | I], median wall seconds of %d runs\n", runs);
    std::printf("%-20s %9s %9s %9s %11s %11s %11s\n", "case", "zerk", "plain", "flint q", "zerkint",
                "plain", "flint z");
    std::string csv = "case,zerk,zerk_plain,flint_q,zerkint,zerkint_plain,flint_z\n";
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const bench_case& c = cases[k];
        const std::string input = write_matrix(c, 2000u + static_cast<unsigned>(k));
        const bool plain = std::max(c.rows, c.cols) <= plain_max;
        const std::string row[6] = {
            seconds(median(dir + "/zerk", "-l", input, runs)),
            plain ? seconds(median(dir + "/zerk_plain", "-l", input, runs)) : "-",
            flint ? seconds(median(dir + "/flint_rref", "zerk", input, runs)) : "-",
            c.rational ? "-" : seconds(median(dir + "/zerkint", "-l", input, runs)),
            plain && !c.rational ? seconds(median(dir + "/zerkint_plain", "-l", input, runs)) : "-",
            flint && !c.rational ? seconds(median(dir + "/flint_rref", "zerkint", input, runs)) : "-"};
        std::printf("%-20s %9s %9s %9s %11s %11s %11s\n", c.name.c_str(), row[0].c_str(), row[1].c_str(),
                    row[2].c_str(), row[3].c_str(), row[4].c_str(), row[5].c_str());
        std::fflush(stdout);
        csv += c.name;
        for (const auto& cell : row) csv += "," + cell;
        csv += "\n";
        std::remove(input.c_str());
    }
    std::printf("\nCSV:\n%s", csv.c_str());
    return 0;
}
