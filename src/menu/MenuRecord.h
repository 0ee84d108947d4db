#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brivant {

// Record sizes of the two forms, chosen by phone type.
inline constexpr int kShortRecordSize = 20;
inline constexpr int kLongRecordSize = 24;
inline constexpr int kDescriptorSize = 12;

// The root descriptor's kind bytes, how the root is found.
inline constexpr const char* kRootKindHex = "10010100";
// Func ID 0387 with a zero first Unknown: an item that opens a submenu.
inline constexpr const char* kSubMenuMark = "03870000";
// A record carrying this anywhere in its hex text gets no row.
inline constexpr const char* kHiddenMark = "00DC0000";

// True for the families that keep 24-byte records (Tip Pointer behind the Text Pointer).
bool LongMenuRecords(int phoneType);
// 20 or 24 bytes by phone type.
int MenuRecordSize(int phoneType);

// Field access on a record's hex text; the form is told by the length (40 digits short,
// anything else long).
bool IsShortRecord(std::string_view record);
std::string TextPointerOf(std::string_view record);
std::string FuncPointerOf(std::string_view record);
std::uint32_t FuncPointerValue(std::string_view record);
// "03870000" at digit 16 or later (counted from 1).
bool IsSubMenuRecord(std::string_view record);
bool IsHiddenRecord(std::string_view record);

// Whether the listing can read the text a Text Pointer names; `q` is its image offset
// (pointer - 0x200000). Offsets of 0 and below name no text in the image (a skipped record,
// the SIM card's menu) and always pass.
bool TextPointerInImage(std::int64_t q, std::int64_t imageSize);
// Whether a submenu's descriptor at image offset `at` lies wholly in the image.
bool SubMenuInImage(std::int64_t at, std::int64_t imageSize);
// The first of a record's pointers that leads outside the image, as the refusal to show;
// none when both are inside. The Func Pointer counts only for a record that opens a
// submenu: the others point at code.
std::optional<std::string> MenuPointerOutside(std::string_view record, std::int64_t imageSize);
inline constexpr const char* kMenuPointerOutside =
    "%s %s leads outside the image; nothing was written";

// A descriptor's Items Pointer (digits 1-8) and Item Count (digits 9-10).
std::uint32_t ItemsPointerOf(std::string_view descriptor);
int ItemCountOf(std::string_view descriptor);

}  // namespace brivant
