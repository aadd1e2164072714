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
    if (size < 3) return 0;
    const std::string input(reinterpret_cast<const char*>(data) + 3, size - 3);
    if (velmora::fuzz::too_many_entries(input, 400)) return 0;
    std::vector<const char*> argv{"prog"};
    const unsigned bits = data[1] | (data[2] << 8);
    for (int k = 0; k < 16; ++k)
        if (bits & (1u << k)) argv.push_back(arguments[k]);
    int status = -1;
    std::ostringstream out;
    const auto result = velmora::fuzz::run_guarded([&] {
        std::istringstream in(input);
        const int argc = static_cast<int>(argv.size());
        status = data[0] & 1 ? velmora::run_program<velmora::zerkint_tool>(argc, argv.data(), in, out)
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
