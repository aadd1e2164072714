// A fatal report must still deliver the standard output written before it, and
// every report must come after that output on a shared console.
#include "diag/report.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora {
namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs body in a child whose standard output and error share one file; returns
// the file's content and sets status to the child's exit status.
template <class Body>
std::string run_with_shared_console(Body body, int& status) {
    char path[] = "/tmp/velmora_console_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "<no temp file>";
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fd, 1);
        dup2(fd, 2);
        body();
        std::exit(0);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    const std::string text = read_file(path);
    close(fd);
    unlink(path);
    return text;
}

TEST(FatalFlush, BufferedOutputPrecedesTheReportAndSurvivesTheExit) {
    int status = -1;
    const std::string console = run_with_shared_console(
        [] {
            std::cout << "movie so far";  // no line end: still in the buffer
            big_arith_fatal_error("the heap overflow");
        },
        status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(console, "movie so farBig arith fatal error: \n the heap overflow\n");
}

TEST(FatalFlush, NonFatalReportComesAfterEarlierOutput) {
    int status = -1;
    const std::string console = run_with_shared_console(
        [] {
            std::cout << "1 2\n";
            matrix_error(-4, "matrix::operator >> : input error");
            std::cout << "after\n";
        },
        status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(console, "1 2\nmatrix error: matrix::operator >> : input error\nafter\n");
}

} // namespace
} // namespace velmora
