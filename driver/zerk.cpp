#include "driver/program.hpp"
#include "driver/tools.hpp"

#include <iostream>

int main(int argc, char** argv) {
    // The standard streams keep buffers of their own: reading the matrix character by
    // character through C's stdio (each peek a getc and an ungetc) costs more than the
    // reduction of a small matrix. Standard error stays tied to standard output.
    std::ios::sync_with_stdio(false);
    return velmora::run_program<velmora::zerk_tool>(argc, argv, std::cin, std::cout);
}
