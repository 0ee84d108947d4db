#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace brivant {

struct Session;
struct PatchState;
class Interaction;

inline constexpr const char* kLcdPayloadHex = "B50043C0F7F9FE55BD004C60";
inline constexpr const char* kLcdHookHex = "340146513101468A";
inline constexpr const char* kLcdApplied =
    "The inverted LCD routine is already applied: the firmware calls it at offset %s; nothing "
    "was changed";
inline constexpr const char* kBlinkOldHex = "43880600";
inline constexpr const char* kBlinkNewHex = "43C00600";
inline constexpr const char* kBlinkNotFound =
    "Cannot find the display code to invert after the start of the MCU free space";
inline constexpr const char* kBlinkDone = "LCD successfully inverted";

// What the inverted-LCD patch changed. Non-blinking: the payload and the two call sites;
// blinking: the one instruction changed in place.
struct LcdResult {
    int mode = 0;
    std::int32_t payloadOffset = -1;
    std::array<std::int32_t, 2> callSites{-1, -1};
    std::int32_t freeOffset = -1;
    std::int32_t offset = -1;
};

// Applies the patch in the dialog's mode (0 non-blinking, 1 blinking). A refused image
// throws UserError unchanged, also when the blinking mode finds nothing to change.
LcdResult InvertLCD(Session& ed, int mode);

// "Do I&t" with "Inverted LCD": the dialog, then InvertLCD.
std::optional<LcdResult> InvertedLcd(Session& ed, PatchState& p, Interaction& ui);

}  // namespace brivant
