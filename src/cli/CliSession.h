#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "app/Editor.h"
#include "cli/ScriptedInteraction.h"

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

// What the commands share while one command line runs: the streams, and the action the
// chosen subcommand sets to run after parsing.
struct CliContext {
    std::ostream& out;
    std::ostream& err;
    std::function<void()> action;
    // Set while a recipe runs its steps: every command then works on this image, already
    // open, and leaves opening and saving to the recipe.
    CliSession* open = nullptr;
};

// Wrong usage: one line on stderr, exit status 2.
[[noreturn]] void UsageError(CliContext& ctx, const std::string& text);
// A --type that names no phone type is wrong usage.
[[noreturn]] void UnknownPhoneType(CliContext& ctx, const std::string& type);

// The answers of one session: an export is never written over the open image, whatever
// spelling (or link) names it.
class SessionInteraction : public ScriptedInteraction {
  public:
    SessionInteraction(std::ostream& err, const HexBuffer& image)
        : ScriptedInteraction(err), image_(image) {}
    std::optional<std::string> askSaveFile(const FileDialog& d) override;

  private:
    const HexBuffer& image_;
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
    // Commands that change the image need -o or --in-place (wrong usage otherwise), naming a
    // file that can be replaced (checked before the image is read).
    void RequireOutput();
    // A command that saves must be able to repair the checksums of what it saves (unless
    // --no-checksum): refused before anything is written, so the output never exists and the
    // input stays as it was.
    void RequireChecksumRepair();
    // Saves through the save flow to -o / --in-place.
    void Save();
    // Ends with status 1 when a command told an error or left a question unanswered.
    void CheckTold();

    const ImageOptions& options;
    CliContext& ctx;
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
