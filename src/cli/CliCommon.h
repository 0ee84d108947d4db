#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "cli/Json.h"
#include "cli/ScriptedInteraction.h"
#include "app/Editor.h"

namespace brivant {

// Ends a command with an exit status; its message, if any, was already printed.
struct CliExit {
    int status;
};

// The arguments that most commands share.
struct ImageOptions {
    std::string image;
    std::string type;
    std::string out;
    bool inPlace = false;
    bool noChecksum = false;
    bool json = false;
};

// What the subcommands share while one command line runs: the streams, and the action the
// chosen subcommand registers to run after parsing.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    std::function<void()> action;
};

// One run of a command over an image: the editor, and the scripted answers.
class CliSession {
  public:
    CliSession(CliContext& ctx, const ImageOptions& o);

    Editor ed;
    ScriptedInteraction ui;

    // Opens through the open flow and applies --type as the drop-down would. With
    // `tolerant`, a failure after the file was loaded (no PPM marker, say) is only told.
    void Open(bool tolerant = false);
    // Commands that change the image need -o or --in-place (wrong usage otherwise).
    void RequireOutput();
    // Saves through the save flow to -o / --in-place.
    void Save();
    // Ends with status 1 when a command told an error or left a question unanswered.
    void CheckTold();

    const ImageOptions& options;
    CliContext& ctx;
};

// Option helpers; each keeps its values in `o`.
void AddImage(CLI::App* cmd, ImageOptions& o);
void AddType(CLI::App* cmd, ImageOptions& o);
void AddJson(CLI::App* cmd, ImageOptions& o);
void AddOutput(CLI::App* cmd, ImageOptions& o);

// Registers the subcommands of each subsystem.
void RegisterCoreCommands(CLI::App& app, CliContext& ctx);
void RegisterTextCommands(CLI::App& app, CliContext& ctx);
void RegisterToneCommands(CLI::App& app, CliContext& ctx);

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace brivant
