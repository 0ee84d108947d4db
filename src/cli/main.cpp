#include <unistd.h>

#include <iostream>

#include "cli/Pictures.h"
#include "cli/RunCli.h"

int main(int argc, char** argv) {
    // Pictures come from a module loaded by the commands that need them.
    brivant::SetPictureLoader(&brivant::LoadPictureModule);
    // Standard output is flushed once, at the end, where a failed write is caught with its
    // reason; tied to stderr it would be flushed by the first message instead.
    std::cerr.tie(nullptr);
    brivant::SetStdoutTerminal(::isatty(STDOUT_FILENO) == 1);
    return brivant::RunCli(argc, argv, std::cout, std::cerr);
}
