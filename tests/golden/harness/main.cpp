// golden_runner [--utf8-movie] <program dir> <source root> <case file> [case name]
// Runs every case of a topic file (or the named one) and reports each mismatch.
// With --utf8-movie it runs only the movie cases (those with -m or --movie), each
// with --utf8 added, and expects what iconv makes of the expected output when it
// converts it from code page 437 to UTF-8; it runs each of them with the other
// program as well, against that program's own output converted. Without iconv it
// says so and exits 77.
// VELMORA_GOLDEN_WRAPPER, when set, is a command (words separated by blanks) that
// runs each program, such as a memory checker; its own reports then show up as
// differences on standard error.
#include "case_file.hpp"
#include "compare.hpp"
#include "run_process.hpp"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

namespace {

bool is_movie_case(const golden::golden_case& c) {
    return std::find_if(c.args.begin(), c.args.end(),
                        [](const std::string& a) { return a == "-m" || a == "--movie"; }) != c.args.end();
}

// What iconv makes of code page 437 text in UTF-8; false when it cannot run here.
bool cp437_to_utf8(std::string& text) {
    const auto r = golden::run_process("iconv", {"-f", "CP437", "-t", "UTF-8"}, text, 60);
    if (r.status != 0 || !r.abnormal.empty()) return false;
    text = r.out;
    return true;
}

// The time a run printed stands for any time.
std::string any_time(std::string out) {
    const std::string label = "!Time (seconds) =\n";
    const std::size_t at = out.find(label);
    if (at == std::string::npos) return out;
    const std::size_t digits = at + label.size();
    const std::size_t end = out.find_first_not_of("0123456789", digits);
    return out.replace(digits, (end == std::string::npos ? out.size() : end) - digits, "{{time}}");
}

// Replaces cases by their movie cases as they must run with --utf8: each with its
// expected output converted by iconv, and each again with the other program, whose
// own output on the same arguments and input, converted, is then the expected one.
// False when iconv cannot convert.
bool to_utf8_movie_cases(std::vector<golden::golden_case>& cases, const std::string& bin_dir) {
    std::vector<golden::golden_case> movie_cases;
    for (golden::golden_case c : cases) {
        if (!is_movie_case(c)) continue;
        golden::golden_case other = c;
        other.program = c.program == "zerk" ? "zerkint" : "zerk";
        other.name += " (by " + other.program + ")";
        const auto plain = golden::run_process(bin_dir + "/" + other.program, other.args, other.stdin_data, 120);
        other.expected_stdout = any_time(plain.out);
        other.expected_stderr = plain.err;
        other.expected_status = plain.status;
        for (golden::golden_case* u : {&c, &other}) {
            if (!cp437_to_utf8(u->expected_stdout)) return false;
            u->args.push_back("--utf8");
            movie_cases.push_back(*u);
        }
    }
    cases = movie_cases;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool utf8_movie = argc > 1 && std::string(argv[1]) == "--utf8-movie";
    if (utf8_movie) {
        --argc;
        ++argv;
    }
    if (argc < 4) {
        std::cerr << "usage: golden_runner [--utf8-movie] <program dir> <source root> <case file> [case]\n";
        return 2;
    }
    const std::string bin_dir = argv[1], root = argv[2], file = argv[3];
    const std::string only = argc > 4 ? argv[4] : "";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << file << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    auto cases = golden::parse_cases(text.str(), root, error);
    if (!error.empty()) {
        std::cerr << file << ": " << error << "\n";
        return 2;
    }
    std::vector<std::string> wrapper;
    if (const char* w = std::getenv("VELMORA_GOLDEN_WRAPPER")) {
        std::istringstream words(w);
        for (std::string word; words >> word;) wrapper.push_back(word);
    }
    int failed = 0, ran = 0;
    if (!only.empty())
        cases.erase(std::remove_if(cases.begin(), cases.end(),
                                   [&](const golden::golden_case& c) { return c.name != only; }),
                    cases.end());
    if (utf8_movie && !to_utf8_movie_cases(cases, bin_dir)) {
        std::cout << "SKIPPED: iconv cannot convert from CP437 to UTF-8 here\n";
        return 77;
    }
    for (const golden::golden_case& c : cases) {
        ++ran;
        const std::string program = bin_dir + "/" + c.program;
        std::vector<std::string> args = c.args;
        if (!wrapper.empty()) {
            args.insert(args.begin(), program);
            args.insert(args.begin(), wrapper.begin() + 1, wrapper.end());
        }
        const auto r = golden::run_process(wrapper.empty() ? program : wrapper[0], args,
                                           c.stdin_data, wrapper.empty() ? 120 : 600);
        std::string problems;
        if (!r.abnormal.empty()) problems += "  ended abnormally: " + r.abnormal + "\n";
        else if (r.status != c.expected_status)
            problems += "  exit status " + std::to_string(r.status) + ", expected " +
                        std::to_string(c.expected_status) + "\n";
        const std::string out_diff = golden::first_difference(c.expected_stdout, r.out);
        if (!out_diff.empty()) problems += "  standard output: " + out_diff;
        const std::string err_diff = golden::first_difference(c.expected_stderr, r.err);
        if (!err_diff.empty()) problems += "  standard error: " + err_diff;
        if (!problems.empty()) {
            ++failed;
            std::cout << "FAIL " << c.name << " (" << file << ":" << c.line << ")\n" << problems;
        }
    }
    if (ran == 0) {
        std::cerr << "no case ran\n";
        return 2;
    }
    std::cout << ran - failed << " of " << ran << " cases passed\n";
    return failed == 0 ? 0 : 1;
}
