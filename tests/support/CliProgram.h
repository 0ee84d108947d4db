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
// The native program built with the tests: the test programs sit one folder below it. Found
// from where the running test program is, not written into it, so that a build in another
// checkout compiles to the same objects.
std::string NativeCliPath();
// The source tree the tests were built from: BRIVANT_SOURCE_DIR when set (ctest sets it),
// else the nearest folder above the test program that holds the README and the sources.
std::string SourceDir();
// The command that runs the command line as a program from a shell: BRIVANT_CLI, or the
// program built beside the tests.
std::string CliCommand();
// `text` in single quotes for a shell.
std::string ShellQuoted(const std::string& text);

}  // namespace brivant::test
