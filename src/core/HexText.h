#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brivant {

using Bytes = std::vector<std::uint8_t>;

// Two upper-case digits per byte, no separators.
std::string BytesToHex(const std::uint8_t* data, std::size_t n);
inline std::string BytesToHex(const Bytes& b) {
    return BytesToHex(b.data(), b.size());
}

// Skips every non-hex character; digits are paired high nibble first and a last unpaired
// digit is dropped.
Bytes HexToBytes(std::string_view text);

// Upper-cases, drops one trailing "H", folds with 32-bit wrap-around; any other character
// makes the result 0.
std::int32_t HexTextToInt(std::string_view text);

// Hex text of a number with exactly `digits` upper-case digits.
std::string IntToHex(std::uint32_t value, int digits);

// Decimal parse as the window's integer fields do it; throws UserError
// "'%s' is not a valid integer value".
std::int32_t StrToInt(const std::string& text);

// Names and texts are bytes shown character by character: byte b <-> code point b.
std::string Latin1ToUtf8(std::string_view bytes);
// For showing a message that may carry both paths (UTF-8) and stored names (bytes): the text
// as it is when it is valid UTF-8, else read as Latin-1.
std::string DisplayText(std::string_view text);
// Throws UserError when a character lies above U+00FF or the text is not UTF-8.
std::string Utf8ToLatin1(std::string_view utf8);

// Big-endian helpers over raw bytes.
std::uint32_t GetBE32(const std::uint8_t* p);
std::uint16_t GetBE16(const std::uint8_t* p);
void PutBE32(std::uint8_t* p, std::uint32_t v);
void PutBE16(std::uint8_t* p, std::uint16_t v);

}  // namespace brivant
