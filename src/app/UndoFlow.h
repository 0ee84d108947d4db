#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brivant {

class Editor;
class Interaction;

inline constexpr const char* kSaveBeforeOpen =
    "The image has changes that are not saved. Save them before opening another file?";
inline constexpr const char* kSaveBeforeClose =
    "The image has changes that are not saved. Save them before closing?";
inline constexpr const char* kSaveBeforeType =
    "The image has changes that are not saved. Save them before choosing another phone type?";
inline constexpr const char* kUndone = "Undone: %s";
inline constexpr const char* kRedone = "Redone: %s";
inline constexpr const char* kNothingToUndo = "Nothing to undo";
inline constexpr const char* kNothingToRedo = "Nothing to redo";

// Runs a command as one step of the editor's history, also when it fails half-way.
void RunStep(Editor& ed, const std::string& description, const std::function<void()>& body);
// Ends a step begun with ed.history.Begin: the free space and its figures are brought up to
// the image as it now stands, then the step is kept. Whether the step changed anything.
bool EndStep(Editor& ed, const std::string& description);

// Takes back the last step (puts back the next one), then reads every list again from the
// image. The line that says what was done.
std::string UndoCommand(Editor& ed, Interaction& ui);
std::string RedoCommand(Editor& ed, Interaction& ui);

// Every feature forgets what it read and reads it again from the image as it now stands:
// the lists, the free-space fields, the tab on show. The user's choices in the command
// groups stay.
void RereadImage(Editor& ed, Interaction& ui);

// True while the image holds changes its file does not.
bool HasUnsavedWork(const Editor& ed);
// The save command; true when the image was written, and then the history knows the file
// holds this state.
bool SaveImage(Editor& ed, Interaction& ui);
// Before unsaved changes would be lost: asks, and saves when told to. True when the caller
// may go on (nothing unsaved, discarded, or saved); false on Cancel or a failed save.
bool SettleUnsaved(Editor& ed, Interaction& ui, const std::string& question);

// Before another phone type is chosen, which reads every list again from the image as its
// file holds it: asks as SettleUnsaved does with kSaveBeforeType. "Discard" takes the image
// back to what was last saved or opened. True when the type may be chosen.
bool SettleBeforeTypeChange(Editor& ed, Interaction& ui);

// The step's description in the user's words for a command of the window, given the row
// the command acts on (-1 for none); read before the command runs.
std::string DescribeStep(const Editor& ed, std::string_view command, int row);

}  // namespace brivant
