// Runs a program with arguments and standard input and captures its outputs.
#pragma once

#include <string>
#include <vector>

namespace golden {

struct process_result {
    std::string out;
    std::string err;
    int status = -1;        // exit status, or -1 when it did not exit normally
    std::string abnormal;   // how it ended when it did not exit normally
};

// Runs path with args, feeding input to its standard input. A run longer than
// timeout_seconds is killed and reported as abnormal.
process_result run_process(const std::string& path, const std::vector<std::string>& args,
                           const std::string& input, int timeout_seconds);

} // namespace golden
