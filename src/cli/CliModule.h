#pragma once

// The one header through which a command module declares its subcommands. The parser library
// stays here and in the module files; the session, JSON and row helpers know nothing of it.

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliSession.h"

namespace brivant {

// A command module: what adds its subcommands, and the top-level commands it adds
// (space-separated).
struct CliModuleEntry {
    const char* name;
    void (*add)(CLI::App& app, CliContext& ctx);
    std::string_view commands;
};
// Every command module, in the order --help lists their commands (the list is in Modules.cpp).
std::span<const CliModuleEntry> CliModules();
// Adds the subcommands of the module that owns `command` (the program's first argument), or
// of every module when no module owns it; none for "--version", the program's only argument.
void RegisterModules(CLI::App& app, CliContext& ctx, std::string_view command = {});

// The command table of one run: the parser holding every command (or, when `first` names
// a command, that command's module), reading "-" from `in` and printing on `out` and `err`,
// with the paths of the stand-ins for "-" shown as "-" in what goes to `err`. What the
// commands print for `out` is kept in `report` until the command ended (Finish).
struct CommandTable {
    CommandTable(std::istream& in, std::ostream& out, std::ostream& err,
                 std::string_view first = {});
    CommandTable(const CommandTable&) = delete;
    CommandTable& operator=(const CommandTable&) = delete;

    // Hands the report and any file written to "-" on, after a command ended with `status`;
    // the exit status, which becomes a failure when standard output could not be written.
    // A file on standard output is all that goes there: the report then goes to stderr.
    int Finish(int status);

    std::ostream& out;
    StandIns standIns;
    ShownPathsBuf shownPaths;
    std::ostream err;
    std::ostringstream report;
    CLI::App app;
    CliContext ctx;
};

// A command with subcommands of its own (`tones list`, ...): one of them must be given.
CLI::App* AddGroup(CLI::App& app, const char* name, const char* help);

// Numbers on the command line (rows, counts, amounts, offsets) are decimal digits only, in
// range. The parser alone would take an empty argument as 0 and let signs, spaces and
// fractions through; with these every such argument is wrong usage (exit 2) instead.
inline constexpr std::int64_t kMaxArgNumber = std::numeric_limits<std::int32_t>::max();
CLI::Validator WholeNumber(std::int64_t min, std::int64_t max);
// A file argument that cannot be standard input or output (a name the command adds to).
CLI::Validator NotStdio();
// An ID as the lists show it ("00A"): 1 to 8 hex digits, nothing else.
CLI::Validator HexId();

// Declares a number argument or option checked by WholeNumber(min, max).
template <typename T>
CLI::Option* AddNumber(CLI::App* cmd, const std::string& name, T& value, const std::string& help,
                       std::int64_t min, std::int64_t max = kMaxArgNumber) {
    return cmd->add_option(name, value, help)->check(WholeNumber(min, max));
}
// A 0-based row of a list; whether the list has that row is the command's to check.
template <typename T>
CLI::Option* AddRow(CLI::App* cmd, const std::string& name, T& value, const std::string& help) {
    return AddNumber(cmd, name, value, help, 0)->required();
}
// A hex ID argument checked by HexId().
inline CLI::Option* AddHexId(CLI::App* cmd, const std::string& name, std::string& value,
                             const std::string& help) {
    return cmd->add_option(name, value, help)->required()->check(HexId());
}

// The options most commands share; each keeps its value in `o`.
void AddImageOption(CLI::App* cmd, ImageOptions& o);
void AddTypeOption(CLI::App* cmd, ImageOptions& o);
void AddJsonFlag(CLI::App* cmd, ImageOptions& o);
void AddOutputOptions(CLI::App* cmd, ImageOptions& o);
// -q / --quiet, which every command takes: scripts can silence any of them the same way.
void AddQuietFlag(CLI::App* cmd, CliContext& ctx);

// A subcommand being declared: its node in the parser and the arguments the parser fills.
// `Args` is ImageOptions or a struct deriving from it; it lives as long as the parser, so
// the action that parsing chose can read it. Options are added in the order --help shows.
template <typename Args = ImageOptions>
class Command {
  public:
    Command(CliContext& ctx, CLI::App* parent, const char* name, const char* help)
        : ctx_(ctx), args_(std::make_shared<Args>()), cmd_(parent->add_subcommand(name, help)) {
        AddQuietFlag(cmd_, ctx_);
    }

    // The parser node, for the command's own options.
    CLI::App* operator->() const { return cmd_; }
    CLI::App* app() const { return cmd_; }
    Args& args() const { return *args_; }

    // IMAGE, the flash image every command but `demo` works on.
    Command& Image() {
        AddImageOption(cmd_, *args_);
        return *this;
    }
    // --type: the phone type when detection finds none.
    Command& TypeOption() {
        AddTypeOption(cmd_, *args_);
        return *this;
    }
    // --json: one JSON object instead of text.
    Command& JsonFlag() {
        AddJsonFlag(cmd_, *args_);
        return *this;
    }
    // -o / --in-place / --no-checksum of the commands that change the image.
    Command& Output() {
        AddOutputOptions(cmd_, *args_);
        return *this;
    }

    // `run(ctx, args)` runs once parsing chose this command.
    void Runs(std::function<void(CliContext&, const Args&)> run) {
        cmd_->callback([&ctx = ctx_, a = args_, run] {
            ctx.action = [&ctx, a, run] {
                if constexpr (requires { a->json; }) ctx.json = a->json;
                // The image on standard output and JSON there too would make neither readable.
                if constexpr (requires { a->out; }) RefuseJsonWithStdout(ctx, a->out);
                run(ctx, *a);
            };
        });
    }
    // `run(session, args)` runs on the image, opened and saved as `flow` says.
    void RunsOnImage(const Flow& flow, std::function<void(CliSession&, const Args&)> run) {
        Runs([flow, run](CliContext& ctx, const Args& a) {
            RunOnImage(ctx, a, flow, [&](CliSession& s) { run(s, a); });
        });
    }

  private:
    CliContext& ctx_;
    std::shared_ptr<Args> args_;
    CLI::App* cmd_;
};

}  // namespace brivant
