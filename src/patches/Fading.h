#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace brivant {

struct Session;
struct PatchState;
struct FadeChoice;
class Interaction;

inline constexpr const char* kFadeApplied =
    "The fading LED routine is already applied: the firmware calls it at offset %s; nothing "
    "was changed";

// Where a fading-LED routine went and what it hooked.
struct FadeResult {
    std::string variant;  // "FadeCode1" ... "FadeCode4"
    std::int32_t payloadOffset = -1;
    std::int32_t payloadLength = 0;
    std::int32_t hook = -1;  // the hook pattern's offset
    std::array<std::int32_t, 2> callSites{-1, -1};
    std::int32_t freeOffset = -1;  // after the routine
};

// Installs the chosen routine with these fade times (four hex digits each). Everything is
// found and checked first: a refused image throws UserError and stays as it was.
FadeResult InstallFade(Session& ed, const FadeChoice& c, const std::string& fadeIn,
                       const std::string& fadeOut);

// "Do I&t" with "Fading Leds": the dialog, then the routine; nothing when cancelled or
// refused with a message.
std::optional<FadeResult> FadingLeds(Session& ed, PatchState& p, Interaction& ui);

}  // namespace brivant
