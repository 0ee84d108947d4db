#include <iostream>

#include "cli/RunCli.h"

int main(int argc, char** argv) {
    return brivant::RunCli(argc, argv, std::cout, std::cerr);
}
