#pragma once

namespace brivant {

struct Session;
struct ToneState;
class Interaction;

inline constexpr const char* kToneOpenTitle = "Open Tone Chunk...";
inline constexpr const char* kToneOpenFilter = "Tone Chunks (*.re)|*.re";
inline constexpr const char* kToneSaveTitle = "Save Tone As...";
inline constexpr const char* kToneSaveFilter = "Tone Chunks (*.re) | *.re";
inline constexpr const char* kToneChunkSaveTitle = "Save Tone File As...";
inline constexpr const char* kToneChunkOpenTitle = "Open Tone Files...";
inline constexpr const char* kNoRingtoneSelected = "Please select a ringtone first";
// The alert tones of 62XX/7110 are found by their row in the ringtone list: a record added
// or taken out would move them, so the list keeps its rows.
inline constexpr const char* kNoAdd62xx =
    "Ringtones cannot be added to a 62XX/7110 flash file: its alert tones sit at fixed rows "
    "of the ringtone list";
inline constexpr const char* kNoDelete62xx =
    "Ringtones cannot be deleted from a 62XX/7110 flash file: its alert tones sit at fixed "
    "rows of the ringtone list";
inline constexpr const char* kNotAToneFile = "%s is not a ringtone file: %s";
inline constexpr const char* kToneOf62xxLayout =
    "%s is a ringtone of the 62XX/7110 layout, which this phone type does not read";
inline constexpr const char* kToneNotConverted =
    "%s does not read back as a 62XX/7110 ringtone once converted: %s";
inline constexpr const char* kToneNotLoaded = "%s was not loaded: %s";

// The Tones list's context menu. `row` is the selected row of t.ringtones; a row
// outside the list is told and nothing happens. Each command acts on the record its row
// was read from. Every edit is made on a copy of the TONE piece and kept only when the list
// reads the copy back with the new record whole and the others where they were; then the
// chunk is sealed and the list is read again. A file refused changes nothing.
void ChangeRingtone(Session& ed, ToneState& t, Interaction& ui, int row);    // "&Change", Enter
void AddRingtone(Session& ed, ToneState& t, Interaction& ui);                // "&Add"
void RetrieveRingtone(Session& ed, ToneState& t, Interaction& ui, int row);  // "&Retrieve"
void DeleteRingtone(Session& ed, ToneState& t, Interaction& ui, int row);  // "&Delete", Delete key
void RetrieveAllRingtones(Session& ed, Interaction& ui);                   // "Retrie&ve All"
void LoadAllRingtones(Session& ed, ToneState& t, Interaction& ui);         // "&Load All"

}  // namespace brivant
