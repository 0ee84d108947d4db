#include <iostream>

#include "cli/Pictures.h"
#include "cli/RunCli.h"

int main(int argc, char** argv) {
    // Pictures come from a module loaded by the commands that need them.
    brivant::SetPictureLoader(&brivant::LoadPictureModule);
    return brivant::RunCli(argc, argv, std::cout, std::cerr);
}
