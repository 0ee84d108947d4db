#pragma once

#include <cstdint>
#include <optional>

namespace brivant {

// A Thumb call (BL) is two halfwords stored high byte first: F000 + the upper 11 bits of
// the halfword distance, then F800 + its lower 11 bits. Distances are counted from the
// call's address + 4 and may reach 2^21 halfwords either way. Addresses are image offsets
// or phone addresses alike: only their difference counts.

// The two halfwords of a call at `from` to `to` as one big-endian word; nothing when the
// target lies beyond the call's reach.
std::optional<std::uint32_t> EncodeBL(std::int64_t from, std::int64_t to);

// The target of the call word `bl` found at `at`.
std::int64_t DecodeBL(std::int64_t at, std::uint32_t bl);

// Whether the word is a call at all: first halfword F000-F7FF, second F800-FFFF.
bool IsBL(std::uint32_t word);

}  // namespace brivant
