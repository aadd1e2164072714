#include "driver/program.hpp"
#include "driver/standard_streams.hpp"
#include "driver/tools.hpp"

#include <iostream>

int main(int argc, char** argv) {
    velmora::unsync_standard_streams();
    return velmora::run_program<velmora::zerk_tool>(argc, argv, std::cin, std::cout);
}
