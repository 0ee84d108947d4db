#pragma once

#include <ostream>

namespace brivant {

// One run of brivant-cli: parses the arguments, runs the chosen command and returns the exit
// status (0 done, 1 failed, 2 wrong usage).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace brivant
