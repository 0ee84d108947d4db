#include <iostream>

#include "cli/CliCommon.h"

int main(int argc, char** argv) {
    return brivant::RunCli(argc, argv, std::cout, std::cerr);
}
