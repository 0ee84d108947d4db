#pragma once

#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace brivant::test {

// Cli() runs the command line in this process unless the environment variable BRIVANT_CLI
// names a program to run instead (a shell command such as "node build/wasm/brivant-cli.js"):
// the tests of the command line then check that program from outside, with the same
// expectations.

// One run with `input` as standard input.
CliRun CliIn(std::vector<std::string> args, const std::string& input);
// The program BRIVANT_CLI names; empty when the tests run the command line in-process.
std::string OtherCli();
// The command that runs the command line as a program from a shell: BRIVANT_CLI, or the
// program built beside the tests.
std::string CliCommand();
// `text` in single quotes for a shell.
std::string ShellQuoted(const std::string& text);

}  // namespace brivant::test
