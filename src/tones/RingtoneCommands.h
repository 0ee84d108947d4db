#pragma once

namespace brivant {

struct Session;
struct ToneState;
class Interaction;

inline constexpr const char* kToneOpenTitle = "Open Tone Chunk...";
inline constexpr const char* kToneOpenFilter = "Tone Chunks (*.re)|*.re";
inline constexpr const char* kToneSaveTitle = "Save Tone As...";
inline constexpr const char* kToneSaveFilter = "ToneChunk (*.re) | *.re";
inline constexpr const char* kToneChunkSaveTitle = "Save Tone File As...";
inline constexpr const char* kToneChunkOpenTitle = "Open Tone Files...";
inline constexpr const char* kNoRingtoneSelected = "Please select a ringtone first";
inline constexpr const char* kNoAdd62xx = "Ringtones cannot be added to a 62XX/7110 flash file";

// The Tones list's context menu. `row` is the selected row of t.ringtones; a row
// outside the list is told and nothing happens. Every edit seals the TONE chunk.
void ChangeRingtone(Session& ed, ToneState& t, Interaction& ui, int row);    // "&Change", Enter
void AddRingtone(Session& ed, ToneState& t, Interaction& ui);                // "&Add"
void RetrieveRingtone(Session& ed, ToneState& t, Interaction& ui, int row);  // "&Retrieve"
void DeleteRingtone(Session& ed, ToneState& t, Interaction& ui, int row);    // "&Delete", Delete key
void RetrieveAllRingtones(Session& ed, Interaction& ui);       // "Retrie&ve All"
void LoadAllRingtones(Session& ed, ToneState& t, Interaction& ui);           // "&Load All"

}  // namespace brivant
