#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/HexText.h"

namespace brivant {

struct Session;
struct SecurityState;
class Interaction;

// The block the phone consults once the code was entered: a Func Pointer before these bytes.
inline constexpr const char* kRedirectPattern = "00004387000045E0000005DD";
inline constexpr const char* kRedirectTo05E0 = "000045E0000045E0000005DD";

inline constexpr const char* kSecurityPatched = "Flash file successfully patched!";
inline constexpr const char* kNoSecurityOffsets =
    "Could not locate offsets, use Manual method to patch this file.";
inline constexpr const char* kManualFieldsEmpty =
    "Choose both menu items first: the item to guard with \"...\" in the first field, the "
    "security item in the second";
inline constexpr const char* kNoRedirectBlock =
    "Could not locate the security redirect block, nothing was patched.";
inline constexpr const char* kSecurityUnsupported = "File not yet supported";
inline constexpr const char* kManualNoRecord =
    "The %s item of the manual method is no record of a menu level (its bytes occur only "
    "elsewhere in the image), nothing was patched.";
inline constexpr const char* kSecurityBlocksOverlap =
    "The guarded item, the security item and the redirect block overlap, nothing was patched.";

inline constexpr std::int32_t kFunctionBlockSize = 12;  // Func Pointer .. Unknown (second)
inline constexpr std::int32_t kRedirectBlockSize = 16;

// One block the patch rewrote: where it lies in the image, its bytes before and after.
struct PatchedBlock {
    std::int32_t offset = -1;
    Bytes before, after;
};
struct SecurityPatch {
    PatchedBlock guarded, security, redirect;
};

// The last occurrence of the pattern from offset 1 on, -1 when there is none. Each search
// starts again on the previous hit's last byte, so overlapping hits are found; a one-byte
// pattern starts one past its hit instead, or the search would never move.
std::int32_t LastOccurrence(Session& ed, std::string_view pattern);

// The three blocks as the patch leaves them, from the guarded item's block G, the security
// item's block S (12 bytes each) and the redirect block R (16 bytes): the guarded item calls
// the security function, the security item takes over R's target as a submenu, and R sends
// on to what the guarded item used to open.
SecurityPatch RewriteSecurityBlocks(const Bytes& g, const Bytes& s, const Bytes& r);

// The patch engine: finds the guarded block `back` bytes before the last hit of `guarded`,
// the security block at the last hit of `security` and the redirect block 4 bytes before the
// first hit of `redirect`, then rewrites the three where they were found. Tells the outcome;
// nothing is written when any block is missing.
std::optional<SecurityPatch> GetMenuOffset(Session& ed, Interaction& ui, std::string_view guarded,
                                           std::string_view security, int back,
                                           std::string_view redirect);

// "&Patch Now!!!": the chosen item of the group, by the family's patterns or by the two
// fields of the manual method. Leaves the button disabled once a type was chosen.
std::optional<SecurityPatch> PatchSecurityCode(Session& ed, SecurityState& sec, Interaction& ui);

}  // namespace brivant
