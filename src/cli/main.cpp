#include <cerrno>
#include <cstdio>
#include <iostream>

#include "cli/Pictures.h"
#include "cli/RunCli.h"
#include "core/FileIO.h"
#include "core/System.h"

int main(int argc, char** argv) {
    // Pictures come from a module loaded by the commands that need them.
    brivant::SetPictureLoader(&brivant::LoadPictureModule);
    // Standard output is flushed once, at the end, where a failed write is caught with its
    // reason; tied to stderr it would be flushed by the first message instead.
    std::cerr.tie(nullptr);
    brivant::SetStdoutTerminal(brivant::sys::IsTerminal(1));
    int status = brivant::RunCli(argc, argv, std::cout, std::cerr);
    // A C library may take a large write past its buffer and keep the failure on the stream
    // alone, where the C++ stream never sees it: a result that did not arrive is a failure.
    errno = 0;
    if (status == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::cerr << "brivant-cli: Cannot write to standard output ("
                  << (errno ? brivant::SystemErrorText(errno) : std::string("write failed"))
                  << ")\n";
        status = 1;
    }
    return status;
}
