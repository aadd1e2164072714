// Every allocation of a whole program run, the library's checked ones and those of the
// standard library alike (this test program replaces the global operator new), is made
// to fail in turn, in a child process. Each run must end in one of two ways: the complete
// output, nothing on standard error and status 0 (the failed allocation was not needed,
// or its failure was handled without loss), or a library report and status 1 (a
// container's out-of-memory error, or the fatal "the heap overflow", which nothing may
// follow). Never a crash, an escaped exception, or a shortened output passed off as a
// success. (After a container failure the reduction goes on with what the containers
// left, so reports that follow from it, such as divisions by a zero content, may come too.)
#include "bigint/storage.hpp"
#include "diag/allocation.hpp"
#include "diag/testing.hpp"
#include "diag/thread_pool.hpp"
#include "driver/program.hpp"
#include "driver/tools.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

// The global allocation functions of this program count down with the library's checked
// allocations, so that an armed failure can hit either kind.
namespace {
void* counted_allocation(std::size_t n) {
    if (velmora::injected_allocation_failure()) return nullptr;
    return std::malloc(n == 0 ? 1 : n);
}
} // namespace

void* operator new(std::size_t n) {
    if (void* p = counted_allocation(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return operator new(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted_allocation(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted_allocation(n); }
// Every allocation function above takes its block from malloc, so free is the match for
// all of them; the compiler cannot see that across the replacement.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace velmora {
namespace {

struct child_result {
    int status = -1;  // exit status, -1 after a signal
    std::string out;
    std::string err;
    long allocations_left = 0;  // the countdown when the run returned
};

std::string contents_of(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs the program in a child with the k-th allocation from the start of the run failing
// (k = LONG_MAX: none in practice), standard output and error going to files. Everything
// the child needs is allocated before the countdown is armed.
template <class Tool>
child_result run_child(long k, const std::vector<const char*>& args, const std::string& input) {
    char out_path[] = "/tmp/velmora_sweep_out_XXXXXX";
    char err_path[] = "/tmp/velmora_sweep_err_XXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    auto* left = static_cast<long*>(mmap(nullptr, sizeof(long), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    child_result result;
    if (out_fd < 0 || err_fd < 0 || left == MAP_FAILED) return result;
    std::vector<const char*> argv{"prog"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::cout.flush();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        std::istringstream in(input);
        reset_diagnostics();
        release_pooled_records();
        set_thread_count(1);  // the countdown counts the allocations of one thread
        fail_allocation_after(k);
        const int status = run_program<Tool>(static_cast<int>(argv.size()), argv.data(), in, std::cout);
        *left = allocations_before_failure();
        std::exit(status);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.out = contents_of(out_path);
    result.err = contents_of(err_path);
    result.allocations_left = *left;
    munmap(left, sizeof(long));
    close(out_fd);
    close(err_fd);
    unlink(out_path);
    unlink(err_path);
    return result;
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

// Checks one failing run against the clean run's complete output.
void check_failing_run(const child_result& r, const std::string& complete) {
    if (r.status == 0) {
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(r.out == complete) << "a run that exits 0 printed " << r.out.size() << " of "
                                       << complete.size() << " bytes";
        return;
    }
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

template <class Tool>
void sweep(const std::vector<const char*>& args, const std::string& input) {
    const child_result clean = run_child<Tool>(LONG_MAX, args, input);
    ASSERT_EQ(clean.status, 0) << clean.err;
    ASSERT_EQ(clean.err, "");
    const long total = LONG_MAX - clean.allocations_left;
    ASSERT_GT(total, 0);
    for (long k = 1; k <= total; ++k) {
        SCOPED_TRACE("failing allocation " + std::to_string(k) + " of " + std::to_string(total));
        check_failing_run(run_child<Tool>(k, args, input), clean.out);
        if (::testing::Test::HasFatalFailure()) return;
    }
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

// The movie in UTF-8 frames, and the movie and the results as a LaTeX document.
TEST(AllocationSweep, Utf8MovieAndLatexDocument) {
    sweep<zerk_tool>({"-l", "-m", "--latex"}, "2 3\n1/2 2 3\n4 5 -6/7\n");
    sweep<zerkint_tool>({"-m", "-q", "--utf8"}, "2 3\n2 4 -6\n-1 3 5\n");
}

// Long entry texts: fractions and tables whose text buffers grow many times over.
TEST(AllocationSweep, LongFractionsAndWideTables) {
    const std::string digits(700, '7');
    sweep<zerk_tool>({"-b"}, "1 2\n1 -" + digits + "/3\n");
    sweep<zerk_tool>({"-m", "-q"}, "2 2\n" + digits + "/11 1\n2 3\n");
    sweep<zerkint_tool>({"-m", "-d"}, "2 2\n" + digits + " 1\n2 " + digits + "1\n");
}

} // namespace
} // namespace velmora
