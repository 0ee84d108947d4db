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

// Each byte of 32 or more as its character, each byte below 32 and the backslash as "\x" +
// two upper-case hex digits (so that every text reads back as the same bytes).
std::string EscapeBytes(const std::uint8_t* data, std::size_t n);
inline std::string EscapeBytes(const Bytes& b) {
    return EscapeBytes(b.data(), b.size());
}

// Back to bytes: "\x" + two hex digits gives that byte; a character of 32 or more gives its
// code; a character below 32 gives nothing. A backslash that does not start "\x" and two
// hex digits would store something nobody typed, so it is refused: empty result and
// `error` set to a message that says how to write it.
std::optional<Bytes> UnescapeText(std::string_view text, std::string* error);

// A typed UTF-8 text as the one-byte-per-character form the editors hold. A character
// above U+00FF has no byte: empty result and `error` set to a message naming it.
std::optional<std::string> Utf8ToTextBytes(std::string_view utf8, std::string* error);

inline constexpr const char* kBadEscape =
    "\\x must be followed by two hex digits (00 to FF); write \\x5C for a backslash";
inline constexpr const char* kBadBackslash =
    "a backslash must start a byte written as \\xHH (two hex digits); write \\x5C for a "
    "backslash itself";
inline constexpr const char* kNotOneByte =
    "\"%s\" (U+%s) cannot be stored in a phone text, which holds characters U+0020 to U+00FF "
    "only; leave it out or write the byte you mean as \\xHH";
inline constexpr const char* kNotUtf8 = "the text is not valid UTF-8";

}  // namespace brivant
