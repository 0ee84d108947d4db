#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace brivant {

// One run of brivant-cli: parses the arguments, runs the chosen command and returns the exit
// status (0 done, 1 failed, 2 wrong usage). "-" arguments read `in` and write `out`.
int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err);
// The same with the process's standard input.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// Whether standard output is a terminal: binary data ("-" as an output) is then refused
// rather than written to it. Set by the program before it runs; off unless set.
void SetStdoutTerminal(bool terminal);

// The names among `names` nearest to a misspelt `word`: of those within a small edit distance
// (a swap of two neighbours counts as one edit) or begun by `word`, the nearest ones, in
// table order.
std::vector<std::string> ClosestNames(std::string_view word, const std::vector<std::string>& names);

}  // namespace brivant
