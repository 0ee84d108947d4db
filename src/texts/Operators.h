#pragma once

#include <string>

#include "core/HexText.h"

namespace brivant {

struct Session;
struct TextState;
class Interaction;

inline constexpr const char* kCountriesCount = "Countries Count: ";
inline constexpr const char* kCountryNameTitle = "Enter Country Name";
inline constexpr const char* kCountryNamePrompt =
    "Please enter country name, maximum of 4 characters";
inline constexpr const char* kCountryCodeTitle = "Enter Country Code";
inline constexpr const char* kCountryCodePrompt = "Please enter country code";
inline constexpr const char* kBadCountryCode = "The country code must be three digits (000 to 999)";
inline constexpr const char* kBadCountryName = "The country name cannot be stored: %s";
inline constexpr const char* kCountryNameTooLong =
    "The country name \"%s\" has %s characters: at most 4 fit, please enter a shorter one";
inline constexpr const char* kLoadCountryTitle = "Open Operators Chunk...";
inline constexpr const char* kLoadCountryFilter = "Operators Chunks (*.opr)|*.opr";
inline constexpr const char* kRetrieveCountryTitle = "Save Operator As...";
inline constexpr const char* kRetrieveCountryFilter = "Operators Chunk (*.opr) | *.opr";
inline constexpr const char* kRetrieveAllOperatorsTitle = "Save Operator File As...";
inline constexpr const char* kLoadAllOperatorsTitle = "Open Operator Files...";
inline constexpr const char* kNotACountryFile =
    "%s is not an operators chunk file: %s; nothing was added";
inline constexpr const char* kCountryEditRefused =
    "The country %s cannot be stored: %s; nothing was changed";
inline constexpr const char* kCountryDeleteRefused =
    "The country %s cannot be deleted: %s; nothing was changed";
inline constexpr const char* kCountryMoved =
    "The record of country %s is no longer where the list found it; nothing was changed";
inline constexpr const char* kCountryDamaged =
    "The record of country %s runs past the end of the PLMN chunk; nothing was changed";

// The country list of the Operators tab and its count label; does nothing while the list
// has rows.
void GetOperators(Session& ed, TextState& t);

// The offset of the record (its tag) of a country row in the PLMN piece, which is left in
// SubHex. `byName` searches name, code and count (Edit); otherwise code and count only.
std::int32_t FindCountryRecord(Session& ed, TextState& t, int row, bool byName);
// The record's bytes, from its tag for its stored length; its offset goes to `at`.
Bytes CountryRecord(Session& ed, TextState& t, int row, bool byName, std::int32_t* at = nullptr);

// The context-menu commands and keys of the Operators list. `row` is the selected row;
// with none (row < 0) Edit, Retrieve and Delete do nothing.
void EditOperators(Session& ed, TextState& t, Interaction& ui, int row);
void NewCountry(Session& ed, TextState& t, Interaction& ui);
void LoadCountry(Session& ed, TextState& t, Interaction& ui);
void RetrieveCountry(Session& ed, TextState& t, Interaction& ui, int row);
void DeleteCountry(Session& ed, TextState& t, Interaction& ui, int row);
void RetrieveAllOperators(Session& ed, Interaction& ui);
void LoadAllOperators(Session& ed, TextState& t, Interaction& ui);

}  // namespace brivant
