#include "driver/program.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return velmora::run_program(argc, argv, velmora::zerk_texts, std::cin, std::cout);
}
