// zerk with every input reduced by reduced_echelon (benchmark only).
#include "specified_programs.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return velmora::run_program<velmora::zerk_specified_tool>(argc, argv, std::cin, std::cout);
}
