#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace brivant {

// The fields of a menu record as the Menu Editor and Add Menu dialogs show them, in record
// order (the long form keeps the tip pointer behind the text pointer).
enum class MenuField {
    TextPointer,
    TipPointer,
    FuncPointer,
    BmpId,
    FuncId,
    Unknown1,
    Unknown2,
    Class,
    Animation
};
inline constexpr int kMenuFieldCount = 9;

inline constexpr const char* kMenuNameLabel = "Menu Name:";
inline constexpr std::array<const char*, kMenuFieldCount> kMenuFieldLabels = {
    "Text Pointer:", "Tip Pointer:", "Func Pointer:", "Bmp ID:",   "Func ID:",
    "Unknown:",      "Unknown:",     "Class:",        "Animation:"};
// Tip pointer of a short record: shown, never stored.
inline constexpr const char* kNoTipPointer = "00000000";
inline constexpr const char* kBadMenuField = "%s needs exactly %s hex digits; nothing was written";

using MenuFields = std::array<std::string, kMenuFieldCount>;

// 8 hex digits for the pointers, 4 for the rest.
int MenuFieldDigits(MenuField f);
// The fields of a record's hex text (40 digits: short form, tip pointer "00000000").
MenuFields FieldsOfRecord(std::string_view record);
// The message naming the first field that is not exactly its number of hex digits (the tip
// pointer only in the long form); none when all are.
std::optional<std::string> CheckMenuFields(const MenuFields& f, bool longForm);
// The record's hex text, upper case: the fields joined in record order.
std::string RecordOfFields(const MenuFields& f, bool longForm);

}  // namespace brivant
