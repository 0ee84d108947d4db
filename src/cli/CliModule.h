#pragma once

// The one header through which a command module declares its subcommands. The parser library
// stays here and in the module files; the session, JSON and row helpers know nothing of it.

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliSession.h"

namespace brivant {

// Every command module adds its subcommands (the list is in Modules.cpp).
void RegisterModules(CLI::App& app, CliContext& ctx);

// A command with subcommands of its own (`tones list`, ...): one of them must be given.
CLI::App* AddGroup(CLI::App& app, const char* name, const char* help);

// "a, b or c", as the help texts name a choice.
std::string ChoiceText(const std::vector<std::string>& names);

// The options most commands share; each keeps its value in `o`.
void AddImageOption(CLI::App* cmd, ImageOptions& o);
void AddTypeOption(CLI::App* cmd, ImageOptions& o);
void AddJsonFlag(CLI::App* cmd, ImageOptions& o);
void AddOutputOptions(CLI::App* cmd, ImageOptions& o);

// A subcommand being declared: its node in the parser and the arguments the parser fills.
// `Args` is ImageOptions or a struct deriving from it; it lives as long as the parser, so
// the action that parsing chose can read it. Options are added in the order --help shows.
template <typename Args = ImageOptions>
class Command {
  public:
    Command(CliContext& ctx, CLI::App* parent, const char* name, const char* help)
        : ctx_(ctx), args_(std::make_shared<Args>()), cmd_(parent->add_subcommand(name, help)) {}

    // The parser node, for the command's own options.
    CLI::App* operator->() const { return cmd_; }
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
        cmd_->callback(
            [&ctx = ctx_, a = args_, run] { ctx.action = [&ctx, a, run] { run(ctx, *a); }; });
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
