// Whole-program benchmark: zerk and zerkint on generated random matrices, each run
// several times; prints the median wall time and the peak memory (max RSS) per case,
// as a table and as CSV.
//   program_bench <directory of zerk and zerkint> [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct bench_case {
    std::string name;
    int rows, cols, range;
};

struct measurement {
    double seconds = 0;  // median wall time
    long max_rss_kb = 0; // largest peak resident size over the runs
    int status = 0;
};

std::string write_random_matrix(const bench_case& c, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> entry(-c.range, c.range);
    const std::string path = "/tmp/velmora_bench_" + c.name + ".in";
    FILE* f = std::fopen(path.c_str(), "w");
    std::fprintf(f, "%d %d\n", c.rows, c.cols);
    for (int i = 0; i < c.rows; ++i) {
        for (int j = 0; j < c.cols; ++j) std::fprintf(f, "%d ", entry(gen));
        std::fputc('\n', f);
    }
    std::fclose(f);
    return path;
}

// Runs program -l with input from path and output discarded.
measurement run_once(const std::string& program, const std::string& input) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open(input.c_str(), O_RDONLY);
        const int out = open("/dev/null", O_WRONLY);
        dup2(in, 0);
        dup2(out, 1);
        execl(program.c_str(), program.c_str(), "-l", static_cast<char*>(nullptr));
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

measurement run_median(const std::string& program, const std::string& input, int runs) {
    std::vector<double> times;
    measurement result;
    for (int k = 0; k < runs; ++k) {
        const measurement m = run_once(program, input);
        times.push_back(m.seconds);
        result.max_rss_kb = std::max(result.max_rss_kb, m.max_rss_kb);
        if (m.status != 0) result.status = m.status;
    }
    std::sort(times.begin(), times.end());
    result.seconds = times[times.size() / 2];
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: program_bench <program directory> [runs]\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::vector<bench_case> cases = {
        {"int99_20x20", 20, 20, 99},
        {"int99_40x40", 40, 40, 99},
        {"int99_80x80", 80, 80, 99},
    };
    std::printf("\nPrograms with -l on random integer matrices (median of %d runs)\n", runs);
    std::printf("%-14s %-8s %10s %12s %7s\n", "case", "program", "seconds", "max RSS kB", "status");
    std::string csv = "case,program,seconds,max_rss_kb,status\n";
    for (std::size_t k = 0; k < cases.size(); ++k) {
        const std::string input = write_random_matrix(cases[k], 1000u + static_cast<unsigned>(k));
        for (const char* program : {"zerk", "zerkint"}) {
            const measurement m = run_median(dir + "/" + program, input, runs);
            std::printf("%-14s %-8s %10.3f %12ld %7d\n", cases[k].name.c_str(), program, m.seconds,
                        m.max_rss_kb, m.status);
            char line[256];
            std::snprintf(line, sizeof line, "%s,%s,%.4f,%ld,%d\n", cases[k].name.c_str(), program,
                          m.seconds, m.max_rss_kb, m.status);
            csv += line;
        }
        std::remove(input.c_str());
    }
    std::printf("\nCSV:\n%s", csv.c_str());
    return 0;
}
