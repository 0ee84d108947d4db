#pragma once

// The manual pages and shell completions, written from the command table itself so that
// they always name the commands and options the program really has.

#include <CLI/CLI.hpp>
#include <string>

namespace brivant {

struct DocsInfo {
    std::string version;
    std::string date;  // YYYY-MM-DD, as the pages show it
};

// brivant-cli(1): every command with its arguments, options and an example.
std::string CliManPage(const CLI::App& app, const DocsInfo& info);
// brivant(1): the window.
std::string WindowManPage(const DocsInfo& info);
// A bash completion for brivant-cli: commands, subcommands, options, phone types.
std::string BashCompletion(const CLI::App& app);
// The same for zsh, with each command's and option's help.
std::string ZshCompletion(const CLI::App& app);

}  // namespace brivant
