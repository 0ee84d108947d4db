#pragma once

#include <string>

#include "core/Editor.h"

namespace brivant {

class Interaction;

inline constexpr const char* kOpenTitle = "Open Flash Files...";
inline constexpr const char* kOpenFilter = "Flash Files (*.fls)|*.fls";
inline constexpr const char* kSaveTitle = "Save Flash As...";
inline constexpr const char* kSaveFilter = "Flash Files (*.fls) | *.fls";
inline constexpr const char* kNothingOpen = "Nothing to save, Please open flash file first";
inline constexpr const char* kNothingEdited = "Nothing to save, Please edit flash file first";
inline constexpr const char* kSaved = "File Successfully saved!";
inline constexpr const char* kOpenFirst = "Please open flash file first";
inline constexpr const char* kOpenFirstCap = "Please open Flash file first";
inline constexpr const char* kMenuUnsupported = "Menu editing not yet supported in this unit";

std::int32_t GetFreeOffset(Editor& ed);

// The open command: asks for the file, then OpenPath.
void OpenCommand(Editor& ed, Interaction& ui);
// Steps after the dialog: load, reset the views, find free space, detect.
void OpenPath(Editor& ed, Interaction& ui, const std::string& path);

// The save command: asks for the file, then SavePath.
void SaveCommand(Editor& ed, Interaction& ui);
// Returns true when the file was written.
bool SavePath(Editor& ed, Interaction& ui, const std::string& path);
// The checks of the save command before its dialog; false (after telling) when there is
// nothing to save.
bool CanSave(Editor& ed, Interaction& ui);

void TabChanged(Editor& ed, Interaction& ui, Tab tab);

// Shared guards of the chunk commands: tell and return false when no type is chosen or no
// image is open.
bool RequireTypeAndImage(Editor& ed, Interaction& ui);

}  // namespace brivant
