// zerkint with every input reduced by reduced_echelon_int, the engine off (benchmark only).
#include "tests/support/plain_programs.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return velmora::run_program<velmora::zerkint_plain_tool>(argc, argv, std::cin, std::cout);
}
