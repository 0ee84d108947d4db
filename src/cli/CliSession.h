#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "cli/ScriptedInteraction.h"
#include "cli/StandIns.h"

namespace brivant {

// Ends a command with an exit status; its message, if any, was already printed.
struct CliExit {
    int status;
};

// The arguments that most commands share. A command with more derives from it.
struct ImageOptions {
    std::string image;
    std::string type;
    std::string out;
    bool inPlace = false;
    bool noChecksum = false;
    bool json = false;
};

class CliSession;

// The exit status of the checkers (check, diff) when they could not give their answer: 1 is
// their answer ("problems", "different").
inline constexpr int kTroubleStatus = 2;

// What the commands share while one command line runs: the streams, and the action the
// chosen subcommand sets to run after parsing.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    std::function<void()> action;
    // Where "-" arguments read and write; without it "-" is an ordinary file name.
    StandIns* standIns = nullptr;
    // --quiet: no success lines, only warnings and errors.
    bool quiet = false;
    // Set while a recipe runs its steps: every command then works on this image, already
    // open, and leaves opening and saving to the recipe.
    CliSession* open = nullptr;
    // --json was given: standard output carries one JSON object, so it cannot carry a file.
    bool json = false;
    // The exit status when standard output cannot be written: the checkers keep 1 for their
    // answer ("different", "problems") and give 2, trouble, here.
    int cannotWriteStatus = 1;
    // Standard output is a terminal: a file is not written there.
    bool stdoutTerminal = false;
};

// Refuses --json together with a file written to standard output: both would go there.
void RefuseJsonWithStdout(CliContext& ctx, const std::string& output);

// "a, b or c", as the help texts and messages name a choice.
std::string ChoiceText(const std::vector<std::string>& names);

// A file argument as a command reads or writes it: "-" is standard input or output.
std::string InputArg(CliContext& ctx, const std::string& arg, const std::string& ext = {});
std::string OutputArg(CliContext& ctx, const std::string& arg, const std::string& ext = {});

// Wrong usage: one line on stderr, exit status 2.
[[noreturn]] void UsageError(CliContext& ctx, const std::string& text);
// A --type that names no phone type is wrong usage; the message lists the types there are.
[[noreturn]] void UnknownPhoneType(CliContext& ctx, const std::string& type);

// The answers of one session: an export is never written over the open image, whatever
// spelling (or link) names it.
// A file answer "-" is standard input or output.
class SessionInteraction : public ScriptedInteraction {
  public:
    SessionInteraction(CliContext& ctx, const HexBuffer& image)
        : ScriptedInteraction(ctx.err), image_(image), ctx_(ctx) {
        quiet = ctx.quiet;
    }
    std::optional<std::string> askOpenFile(const FileDialog& d) override;
    std::optional<std::string> askSaveFile(const FileDialog& d) override;

  private:
    const HexBuffer& image_;
    CliContext& ctx_;
};

// One run of a command over an image: the editor, and the scripted answers.
class CliSession {
  public:
    CliSession(CliContext& ctx, const ImageOptions& o);

    Editor ed;
    SessionInteraction ui;

    // Opens through the open flow and applies --type as the drop-down would. With
    // `tolerant`, a failure after the file was loaded (no PPM marker, say) is only told.
    void Open(bool tolerant = false);
    // The image as a save would write it, opened again from those bytes: the state the next
    // command of a recipe finds is the one it would find after a save and an open.
    void Reopen();
    // Commands that change the image need -o or --in-place (wrong usage otherwise), naming a
    // file that can be replaced (checked before the image is read).
    void RequireOutput();
    // A command that saves must be able to repair the checksums of what it saves (unless
    // --no-checksum): refused before anything is written, so the output never exists and the
    // input stays as it was.
    void RequireChecksumRepair();
    // Saves through the save flow to -o / --in-place. A result of the same bytes as IMAGE is
    // not written: the command ends as the window's save does when nothing was edited.
    void Save();
    // Ends with status 1 when a command told an error or left a question unanswered.
    void CheckTold();
    // Ends with status 1, telling that `row` is not a row of a list of `rows` rows.
    void RequireRow(std::int64_t row, std::size_t rows);

    const ImageOptions& options;
    CliContext& ctx;

  private:
    // The phone type --type asks for, chosen as the drop-down would after an open.
    void ApplyWantedType(bool tolerant);

    // The file the result is saved to (a stand-in for "-o -"), set by RequireOutput.
    std::string target_;
    // IMAGE as it was read, to tell a result that changes nothing.
    Bytes opened_;
};

// What happens around a command's own work, in this order: -o / --in-place required, the
// image opened, a phone type and the cut PPM copy required, the tab shown; then the command;
// then anything it told checked, and the result saved.
struct Flow {
    bool saves = false;        // changes the image: needs an output, saved through the save flow
    bool needsType = false;    // works on the PPM copy, like every list of the window
    std::optional<Tab> tab{};  // shown first, as the window does before its list can be used
    bool tolerant = false;     // only looks: an image whose reading failed can still be shown
};

// Opens the image, runs `command` on it and saves it, as `flow` says.
void RunOnImage(CliContext& ctx, const ImageOptions& o, const Flow& flow,
                const std::function<void(CliSession&)>& command);

}  // namespace brivant
