#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/HexText.h"

namespace brivant {

struct Session;

// What the code patches share: finding the firmware code they hook into, reading the calls
// there, and the place of a payload in the MCU free space. Each throws UserError before the
// image is touched, so that a refused patch leaves the image as it was.

inline constexpr const char* kNoHook = "Cannot find the code to patch in this flash file";
inline constexpr const char* kNoCall =
    "The code to patch in this flash file holds no call where one is expected";
inline constexpr const char* kOutOfReach =
    "The MCU free space lies beyond the reach of the calls to patch";

// The offset of the hook pattern, searched from offset 1.
std::int32_t FindHook(Session& s, std::string_view pattern);

// The call at `at`; throws kNoCall when the four bytes there are not a call.
std::uint32_t CallAt(const Session& s, std::int64_t at);

// The four bytes of a call at `from` to `to`; throws kOutOfReach when it cannot reach.
Bytes CallBytes(std::int64_t from, std::int64_t to);
// Overwrites four bytes of `code` at `at` with such a call; `base` is where `code` will lie.
void PutCall(Bytes& code, std::int32_t at, std::int64_t base, std::int64_t to);

// Whether the routine `payload` already lies at `at`: every byte equal but the four of each
// call at `calls` (made for where it lies) and the last `ownTail` bytes (values the user
// chose). A call site that leads to it was patched before.
bool RoutineAt(const Session& s, std::int64_t at, const Bytes& payload,
               const std::vector<int>& calls, int ownTail);

// Where the payload goes: FreeOffset raised to a multiple of 4. Throws kNoMcuSpace when the
// free space is unknown or the payload (with the bytes skipped to get there, and the 00 byte
// behind a payload that ends in FF) does not fit into the free bytes from FreeOffset on.
std::int32_t PayloadSpot(Session& s, const Bytes& payload);

// Writes the payload at `spot` (from PayloadSpot); FreeOffset moves past it.
void WritePayload(Session& s, std::int32_t spot, const Bytes& payload);

}  // namespace brivant
