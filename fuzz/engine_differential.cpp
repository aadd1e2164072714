// The programs against themselves held to the row-by-row reductions: the same input and
// arguments must print the same bytes on standard output and standard error and end with
// the same status. Input: byte 0 chooses the program (bit 0); bytes 1 and 2 choose the
// arguments (one bit per entry of the table below); the rest is standard input.
#include "fuzz_support.hpp"
#include "tests/support/plain_programs.hpp"

#include <sstream>
#include <vector>

namespace {

// No -t or -l (a clock tick may fall between the two runs) and no -m (the movie always
// runs the reductions).
const char* const arguments[10] = {"-a", "-b", "-q", "-r", "-d", "-i", "-s", "--rank", "--basis", "-B"};

struct run_result {
    int status = -1;
    std::string out;
    velmora::fuzz::guarded_result guarded;
};

template <class Tool>
run_result run(const std::vector<const char*>& argv, const std::string& input) {
    run_result r;
    std::ostringstream out;
    r.guarded = velmora::fuzz::run_guarded([&] {
        std::istringstream in(input);
        r.status = velmora::run_program<Tool>(static_cast<int>(argv.size()), argv.data(), in, out);
    });
    r.out = out.str();
    return r;
}

template <class Fast, class Plain>
void compare(const std::vector<const char*>& argv, const std::string& input) {
    const run_result fast = run<Fast>(argv, input), plain = run<Plain>(argv, input);
    velmora::fuzz::require(fast.guarded.fatal_report == plain.guarded.fatal_report, "the same fatal report");
    velmora::fuzz::require(fast.status == plain.status, "the same exit status");
    velmora::fuzz::require(fast.out == plain.out, "the same standard output");
    velmora::fuzz::require(fast.guarded.err == plain.guarded.err, "the same standard error");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    bool zerkint = false;
    std::vector<const char*> argv;
    std::string input;
    if (!velmora::fuzz::split_run_input(data, size, arguments, 10, 400, zerkint, argv, input)) return 0;
    if (zerkint)
        compare<velmora::zerkint_tool, velmora::zerkint_plain_tool>(argv, input);
    else
        compare<velmora::zerk_tool, velmora::zerk_plain_tool>(argv, input);
    return 0;
}
