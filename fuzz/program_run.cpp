// A whole program run in process. Input: byte 0 chooses the program (bit 0),
// bytes 1 and 2 choose the arguments (one bit per entry of the table below), the
// rest is standard input. The exit status must say whether anything was reported.
#include "diag/report.hpp"
#include "driver/program.hpp"
#include "driver/tools.hpp"
#include "fuzz_support.hpp"

#include <sstream>
#include <vector>

namespace {

const char* const arguments[16] = {"-a", "-b", "-q", "-r", "-d", "-i", "-t", "-l",
                                   "-m", "-s", "-h", "-v", "-x", "--rank", "--det", "-Q"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool zerkint = false;
    std::vector<const char*> argv;
    std::string input;
    if (!velmora::fuzz::split_run_input(data, size, arguments, 16, 400, zerkint, argv, input)) return 0;
    int status = -1;
    std::ostringstream out;
    const auto result = velmora::fuzz::run_guarded([&] {
        std::istringstream in(input);
        const int argc = static_cast<int>(argv.size());
        status = zerkint ? velmora::run_program<velmora::zerkint_tool>(argc, argv.data(), in, out)
                             : velmora::run_program<velmora::zerk_tool>(argc, argv.data(), in, out);
    });
    if (!result.fatal_report) {
        velmora::fuzz::require(status == 0 || status == 1, "exit status 0 or 1");
        velmora::fuzz::require(result.err.empty() || status == 1, "a report makes the status 1");
        velmora::fuzz::require(!(status == 1 && result.err.empty()) ||
                                   out.str().find("Unknown argument: ") != std::string::npos,
                               "a failure without a report is an unknown argument");
    }
    return 0;
}
