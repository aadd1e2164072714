#include "driver/program.hpp"
#include "driver/tools.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return velmora::run_program<velmora::zerk_tool>(argc, argv, std::cin, std::cout);
}
