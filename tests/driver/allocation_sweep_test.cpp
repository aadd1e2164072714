// Every checked allocation of a whole program run is made to fail in turn, in a
// child process: each run must report the failure (a container's out-of-memory
// error, or the fatal "the heap overflow") and end with status 1, never crash,
// and write nothing to standard error but library reports. (After a container
// failure the reduction goes on with what the containers left, so reports that
// follow from it, such as divisions by a zero content, may come too.)
#include "bigint/storage.hpp"
#include "diag/testing.hpp"
#include "driver/program.hpp"
#include "driver/tools.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

struct child_result {
    int status = -1;  // exit status, -1 after a signal
    std::string err;
};

template <class Tool>
int run_in_process(const std::vector<const char*>& args, const std::string& input) {
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::istringstream in(input);
    std::ostringstream out;
    return run_program<Tool>(static_cast<int>(argv.size()), argv.data(), in, out);
}

// Runs the program in a child with the k-th checked allocation failing.
template <class Tool>
child_result run_failing(long k, const std::vector<const char*>& args, const std::string& input) {
    char path[] = "/tmp/velmora_sweep_XXXXXX";
    const int fd = mkstemp(path);
    child_result result;
    if (fd < 0) return result;
    std::cout.flush();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fd, 2);
        reset_diagnostics();
        release_pooled_records();
        fail_allocation_after(k);
        const int status = run_in_process<Tool>(args, input);
        std::exit(status);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    std::ifstream err(path);
    std::ostringstream text;
    text << err.rdbuf();
    result.err = text.str();
    close(fd);
    unlink(path);
    return result;
}

template <class Tool>
long count_allocations(const std::vector<const char*>& args, const std::string& input) {
    reset_diagnostics();
    release_pooled_records();
    fail_allocation_after(LONG_MAX);
    run_in_process<Tool>(args, input);
    const long made = LONG_MAX - allocations_before_failure();
    fail_allocation_after(0);
    reset_diagnostics();
    return made;
}

bool is_out_of_memory_report(const std::string& line) {
    return line.rfind("matrix error: ", 0) == 0 && line.find("out of memory") != std::string::npos;
}

bool is_library_report(const std::string& line) {
    for (const char* prefix : {"matrix error: ", "matrix fatal error: ", "Big arith error: ",
                               "Big arith warning: ", "Rationals Error: "})
        if (line.rfind(prefix, 0) == 0) return true;
    // second lines of the two out-of-memory messages that carry their own line break
    return line == " vector is not correct" || line == " matrix is not correct";
}

template <class Tool>
void sweep(const std::vector<const char*>& args, const std::string& input) {
    const long total = count_allocations<Tool>(args, input);
    ASSERT_GT(total, 0);
    for (long k = 1; k <= total; ++k) {
        SCOPED_TRACE("failing allocation " + std::to_string(k) + " of " + std::to_string(total));
        const child_result r = run_failing<Tool>(k, args, input);
        ASSERT_EQ(r.status, 1) << r.err;
        const std::string fatal = "Big arith fatal error: \n the heap overflow\n";
        const bool heap_overflow = r.err.find(fatal) != std::string::npos;
        // A fatal report ends the run: nothing may follow it.
        if (heap_overflow) {
            EXPECT_EQ(r.err.find(fatal) + fatal.size(), r.err.size()) << r.err;
        }
        std::istringstream lines(heap_overflow ? r.err.substr(0, r.err.find(fatal)) : r.err);
        bool out_of_memory = false;
        for (std::string line; std::getline(lines, line);) {
            if (is_out_of_memory_report(line)) out_of_memory = true;
            EXPECT_TRUE(is_library_report(line)) << "not a library report: " << line;
        }
        EXPECT_TRUE(heap_overflow || out_of_memory) << r.err;
    }
    const child_result clean = run_failing<Tool>(total + 1, args, input);
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.err, "");
}

TEST(AllocationSweep, ZerkRunWithMovie) {
    sweep<zerk_tool>({"-l", "-m"}, "2 3\n1/2 2 3\n4 5 -6/7\n");
}

TEST(AllocationSweep, ZerkintRunWithMovie) {
    sweep<zerkint_tool>({"-l", "-m"}, "2 3\n2 4 -6\n-1 3 5\n");
}

// Without the movie, full row rank: the engine's own allocations fail in turn.
TEST(AllocationSweep, ZerkRunByTheEngine) {
    sweep<zerk_tool>({"-l"}, "2 3\n1/2 2 3\n4 5 -6/7\n");
}

TEST(AllocationSweep, ZerkintRunByTheEngine) {
    sweep<zerkint_tool>({"-l"}, "2 3\n2 4 -6\n-1 3 5\n");
}

} // namespace
} // namespace velmora
