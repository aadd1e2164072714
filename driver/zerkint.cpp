#include "driver/program.hpp"

#include <iostream>

int main(int argc, char** argv) {
    return velmora::run_program(argc, argv, velmora::zerkint_texts, std::cin, std::cout);
}
