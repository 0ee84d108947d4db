#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/HexText.h"

namespace brivant {

// Texts that the phone stores byte by byte are edited as one character per byte
// (byte b is the character with code b), with control bytes spelled "\xHH" so that they
// survive a text field.

// Each byte of 32 or more as its character, each byte below 32 as "\x" + two upper-case
// hex digits.
std::string EscapeBytes(const std::uint8_t* data, std::size_t n);
inline std::string EscapeBytes(const Bytes& b) {
    return EscapeBytes(b.data(), b.size());
}

// Back to bytes: "\x" + two hex digits gives that byte; a backslash followed by anything
// else swallows itself and the next three characters; a character of 32 or more gives its
// code; a character below 32 gives nothing. A "\x" without two hex digits behind it would
// produce a byte nobody typed, so it is refused: empty result and `error` set.
std::optional<Bytes> UnescapeText(std::string_view text, std::string* error);

inline constexpr const char* kBadEscape = "\\x must be followed by two hex digits (00 to FF)";

}  // namespace brivant
