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

// The README's command reference: every command with its arguments and options, in
// Markdown, between the two marker lines.
inline constexpr const char* kReadmeBegin =
    "<!-- Command reference: written from the command table by brivant-cli-docs --readme; "
    "edit the program, not this list. -->";
inline constexpr const char* kReadmeEnd = "<!-- End of the command reference. -->";
std::string CliReadmeReference(const CLI::App& app);
// `readme` with its command reference (markers included) written anew; empty when it has no
// markers.
std::string WithReadmeReference(const std::string& readme, const CLI::App& app);

}  // namespace brivant
