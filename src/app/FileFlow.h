#pragma once

#include <string>

#include "core/FileIO.h"

namespace brivant {

class Editor;
class Interaction;
enum class Tab;

inline constexpr const char* kOpenTitle = "Open Flash Files...";
inline constexpr const char* kOpenFilter = "Flash Files (*.fls)|*.fls";
inline constexpr const char* kSaveTitle = "Save Flash As...";
inline constexpr const char* kSaveFilter = "Flash Files (*.fls) | *.fls";
inline constexpr const char* kNothingOpen = "Nothing to save, Please open flash file first";
inline constexpr const char* kNothingEdited = "Nothing to save, Please edit flash file first";
inline constexpr const char* kSaved = "File Successfully saved!";
inline constexpr const char* kNotAnImage = "%s is not a flash image this editor can read: %s";

// The open command: asks for the file, then OpenPath.
void OpenCommand(Editor& ed, Interaction& ui);
// Steps after the dialog: load, reset the views, find free space, detect. A file that cannot
// be read or is not an image is refused (UserError) with the open image left as it was.
void OpenPath(Editor& ed, Interaction& ui, const std::string& path);
// The same steps for a file already read (or bytes made in memory) under that name.
void OpenContent(Editor& ed, Interaction& ui, FileContent file, const std::string& path);

// The save command: asks for the file, then SavePath.
void SaveCommand(Editor& ed, Interaction& ui);
// Returns true when the file was written.
bool SavePath(Editor& ed, Interaction& ui, const std::string& path);
// The save of a front end that repairs the checksums without asking: they are put into the
// image first and the file is written once. Throws UserError, with nothing written, when they
// cannot be repaired or the file cannot be written.
void SaveWithChecksums(Editor& ed, Interaction& ui, const std::string& path);
// The checks of the save command before its dialog; false (after telling) when there is
// nothing to save.
bool CanSave(Editor& ed, Interaction& ui);

// A tab was shown: the features of that tab read what it lists.
void TabChanged(Editor& ed, Interaction& ui, Tab tab);

}  // namespace brivant
