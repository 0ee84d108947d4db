#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>

#include "core/DialogAnswers.h"
#include "core/Interaction.h"

namespace brivant {

// Every line the command line writes to stderr starts so.
inline constexpr const char* kProgramPrefix = "brivant-cli: ";

// A message as the command line prints it: one line, UTF-8.
std::string MessageLine(const std::string& message);

// The command line's answers to the questions a command asks: the files and texts given
// as arguments, in order. Messages go to stderr; an unanswered question ends the command.
class ScriptedInteraction : public Interaction {
  public:
    explicit ScriptedInteraction(std::ostream& err) : err_(err) {}

    std::deque<std::string> openFiles;
    std::deque<std::string> saveFiles;
    std::deque<std::string> texts;
    bool checksumOk = true;
    // Only warnings and errors are printed, no success lines.
    bool quiet = false;
    // A run opens one image and ends: nothing of an earlier one can be at stake, so the
    // question keeps whatever there is.
    SaveChoice saveChanges = SaveChoice::Cancel;
    // The dialogs with models: each command that shows one sets what the arguments answer.
    DialogAnswers dialogs;

    bool HadError() const { return hadError_; }
    // The question that found no answer, if any (its prompt text).
    const std::string& Unanswered() const { return unanswered_; }

    std::optional<std::string> askOpenFile(const FileDialog& d) override;
    std::optional<std::string> askSaveFile(const FileDialog& d) override;
    void tell(const std::string& text, MessageKind kind) override;
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;
    bool confirmChecksum(const std::string& path) override;
    SaveChoice askSaveChanges(const std::string&) override { return saveChanges; }
    bool askDialog(DialogModel& m) override { return dialogs.Answer(m); }

  protected:
    std::optional<std::string> Next(std::deque<std::string>& q, const std::string& question);
    std::ostream& err_;

  private:
    bool hadError_ = false;
    std::string unanswered_;
};

}  // namespace brivant
