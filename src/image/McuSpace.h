#pragma once

#include <cstdint>

#include "core/HexText.h"

namespace brivant {

struct Session;

// The MCU free space runs from FreeOffset up to the mark that closes it, or up to the PPM
// area when there is none. New code and data go there, and FreeOffset moves past them.

// The last byte new data may use; -1 when FreeOffset lies nowhere (or past the PPM area).
// Moves the search state and the cursor.
std::int32_t McuFreeEnd(Session& s);
// Whether `length` bytes still fit at FreeOffset.
bool McuFits(Session& s, std::int64_t length);
// How many bytes from FreeOffset on are free: the run of FF bytes there, not past the last
// byte McuFreeEnd allows; 0 when FreeOffset lies nowhere.
std::int64_t McuFreeRun(Session& s);
// Writes the bytes at FreeOffset and moves FreeOffset past them; returns where they went.
// The caller checked that they fit.
std::int32_t WriteAtFreeOffset(Session& s, const Bytes& data);

inline constexpr const char* kMcuMarkHex = "3C3C3C3C3C3C3C6733";
inline constexpr const char* kNoMcuSpace = "There is no enough MCU free space";

}  // namespace brivant
