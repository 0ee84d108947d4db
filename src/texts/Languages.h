#pragma once

#include <string>

#include "texts/LanguageChunk.h"

namespace brivant {

struct Session;
struct TextState;
class Interaction;

inline constexpr const char* kLanguagesCount = "Languages Count: ";
inline constexpr const char* kAddLanguageTitle = "Open Language Chunk...";
inline constexpr const char* kAddLanguageFilter = "Language Chunks (*.lng)|*.lng";
inline constexpr const char* kRetrieveLanguageTitle = "Save Language As...";
inline constexpr const char* kRetrieveLanguageFilter = "Language Chunk (*.lng) | *.lng";
inline constexpr const char* kRetrieveAllLanguagesTitle = "Save Language File As...";
inline constexpr const char* kLoadAllLanguagesTitle = "Open Language Files...";
inline constexpr const char* kLanguageUnpadded =
    "The language chunk %s is not followed by its FF padding in the TEXT chunk, so it cannot "
    "be replaced safely; nothing was changed";
inline constexpr const char* kLanguageTooLong =
    "The language chunk %s runs past the end of the TEXT chunk; nothing was changed";
inline constexpr const char* kNotALanguageFile =
    "%s is not a language chunk file: %s; nothing was added";
inline constexpr const char* kLanguageEditRefused =
    "The edited language %s cannot be stored: %s; nothing was changed";
inline constexpr const char* kLanguageDeleteRefused =
    "The language %s cannot be deleted, the list of languages would not read back: %s; "
    "nothing was changed";
inline constexpr const char* kLanguageMoved =
    "The language chunk %s is no longer where the list found it; nothing was changed";
inline constexpr const char* kNoLanguageList = "The languages cannot be listed: %s";

// A new image: nothing of the last one's languages, countries and menu texts is kept.
void OpenedTexts(TextState& t);
// The Languages list, the key list, the language selector's entries and the count label;
// does nothing while the list has rows.
void ReadLanguages(Session& ed, TextState& t);

// The texts of the language chunk with this key (8 hex digits ID, 8 hex digits Length),
// searched in the TEXT piece; leaves the piece in SubHex.
LanguageTexts ReadLanguageTexts(Session& ed, const std::string& id, const std::string& length);

// The texts of the chunk a row of the Languages list was read from.
LanguageTexts ReadRowTexts(Session& ed, const TextState& t, int row);

// Read texts for the menu: the first call after an image was opened only counts the texts
// (CommTextCount); later calls fill the language text list with the texts of key `index`.
void ReadMenuTexts(Session& ed, TextState& t, int index);

// The context-menu commands and keys of the Languages list. `row` is the selected row;
// with none (row < 0) Edit, Retrieve and Delete do nothing.
void EditLanguage(Session& ed, TextState& t, Interaction& ui, int row);
void AddLanguage(Session& ed, TextState& t, Interaction& ui);
void RetrieveLanguage(Session& ed, TextState& t, Interaction& ui, int row);
void DeleteLanguage(Session& ed, TextState& t, Interaction& ui, int row);
void RetrieveAllLanguages(Session& ed, Interaction& ui);
void LoadAllLanguages(Session& ed, TextState& t, Interaction& ui);

}  // namespace brivant
