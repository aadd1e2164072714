// golden_runner <program dir> <source root> <case file> [case name]
// Runs every case of a topic file (or the named one) and reports each mismatch.
// VELMORA_GOLDEN_WRAPPER, when set, is a command (words separated by blanks) that
// runs each program, such as a memory checker; its own reports then show up as
// differences on standard error.
#include "case_file.hpp"
#include "compare.hpp"
#include "run_process.hpp"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: golden_runner <program dir> <source root> <case file> [case]\n";
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
    const auto cases = golden::parse_cases(text.str(), root, error);
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
    for (const golden::golden_case& c : cases) {
        if (!only.empty() && c.name != only) continue;
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
