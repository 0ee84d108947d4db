#pragma once

#include <cstdint>
#include <optional>

namespace brivant {

struct Session;
class Interaction;

// Counts the free bytes of both areas and writes them into the two "bytes" fields.
void GetFreespace(Session& ed);

enum class AdjustTarget { MCU, PPM };

// "Ad&just": moves the PPM area so that `target` gains the number of bytes the user enters.
void AdjustSpace(Session& ed, Interaction& ui, AdjustTarget target);

}  // namespace brivant
