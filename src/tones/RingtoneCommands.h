#pragma once

namespace brivant {

class Editor;
class Interaction;

inline constexpr const char* kToneOpenTitle = "Open Tone Chunk...";
inline constexpr const char* kToneOpenFilter = "Tone Chunks (*.re)|*.re";
inline constexpr const char* kToneSaveTitle = "Save Tone As...";
inline constexpr const char* kToneSaveFilter = "ToneChunk (*.re) | *.re";
inline constexpr const char* kToneChunkSaveTitle = "Save Tone File As...";
inline constexpr const char* kToneChunkOpenTitle = "Open Tone Files...";
inline constexpr const char* kNoRingtoneSelected = "Please select a ringtone first";
inline constexpr const char* kNoAdd62xx = "Ringtones cannot be added to a 62XX/7110 flash file";

// The Tones list's context menu. `row` is the selected row of ed.win.ringtones; a row
// outside the list is told and nothing happens. Every edit seals the TONE chunk.
void ChangeRingtone(Editor& ed, Interaction& ui, int row);    // "&Change", Enter
void AddRingtone(Editor& ed, Interaction& ui);                // "&Add"
void RetrieveRingtone(Editor& ed, Interaction& ui, int row);  // "&Retrieve"
void DeleteRingtone(Editor& ed, Interaction& ui, int row);    // "&Delete", Delete key
void RetrieveAllRingtones(Editor& ed, Interaction& ui);       // "Retrie&ve All"
void LoadAllRingtones(Editor& ed, Interaction& ui);           // "&Load All"

}  // namespace brivant
