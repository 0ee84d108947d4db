#pragma once

#include <array>

#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"

namespace brivant {

struct Session;
struct PatchState;
class Interaction;

// The "Miscellaneous" group's drop-down, in order; entry 0 is selected at start.
inline constexpr std::array<const char*, 2> kMiscEntries = {TFadeLeds::kTitle, TInvertFrm::kTitle};
inline constexpr const char* kMiscGroup = "Miscellaneous";
inline constexpr const char* kMiscDoIt = "Do I&t";

// "Do I&t": the patch of the drop-down's entry (p.miscEntry).
void MiscDoIt(Session& ed, PatchState& p, Interaction& ui);

}  // namespace brivant
