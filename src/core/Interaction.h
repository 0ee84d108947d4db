#pragma once

#include <optional>
#include <string>

namespace brivant {

// The model of a modal dialog with state of its own. The front end shows the view that
// belongs to the model's type; the model holds the answer afterwards.
class DialogModel {
  public:
    virtual ~DialogModel() = default;
};

// What a file dialog shows. `filter` keeps the program's own "Text (*.x)|*.x" form; each
// front end translates it to what its dialogs take.
struct FileDialog {
    std::string title;
    std::string filter;
    std::string defaultExt;  // without the dot; empty for none
    std::string defaultName;
    bool mustExist = false;        // open dialogs: path and file must exist
    bool overwritePrompt = false;  // save dialogs: confirm before overwriting
};

// An open dialog: the file must exist.
inline FileDialog OpenDialog(std::string title, std::string filter, std::string defaultExt = {}) {
    return {std::move(title), std::move(filter), std::move(defaultExt), {}, true, false};
}
// A save dialog that asks before overwriting; `defaultName` is display text (UTF-8).
inline FileDialog SaveDialog(std::string title, std::string filter, std::string defaultExt,
                             std::string defaultName = {}) {
    return {std::move(title),
            std::move(filter),
            std::move(defaultExt),
            std::move(defaultName),
            false,
            true};
}

// Info: a success or notice box. Error: the box that ends a failed command; the command
// line exits with status 1 after it.
enum class MessageKind { Info, Error };

// The answers to a question about changes that would otherwise be lost: keep them by saving
// first, drop them, or stop what was about to drop them.
enum class SaveChoice { Save, Discard, Cancel };

// The port through which a command asks and tells. A cancelled question returns an empty
// optional (or false). One call per modal dialog.
class Interaction {
  public:
    virtual ~Interaction() = default;

    virtual std::optional<std::string> askOpenFile(const FileDialog& dialog) = 0;
    virtual std::optional<std::string> askSaveFile(const FileDialog& dialog) = 0;
    virtual void tell(const std::string& text, MessageKind kind) = 0;
    // The modal text prompt; an empty optional when the user cancels.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) = 0;
    // "Update Checksum": true for "&OK", false for "&Cancel".
    virtual bool confirmChecksum(const std::string& path) = 0;
    // Asks whether to save changes before they would be lost; Cancel when the user closes
    // the question without answering.
    virtual SaveChoice askSaveChanges(const std::string& question) = 0;

    // A dialog with a model of its own: true when the user accepted it. A front end that
    // has no view for the model's type counts the dialog as cancelled.
    virtual bool askDialog(DialogModel& model) = 0;

    void info(const std::string& text) { tell(text, MessageKind::Info); }
    void error(const std::string& text) { tell(text, MessageKind::Error); }
};

}  // namespace brivant
