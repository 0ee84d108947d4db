#pragma once

#include <string>
#include <string_view>

namespace brivant {

// Hex text to a text of "0"/"1" digits, four per hex digit, most significant first.
// Any character that is not a hex digit makes the whole result "0".
std::string HexToBits(std::string_view hex);

// Back again: "0" stays "0"; otherwise the text is padded with leading "0" to whole
// groups of four, each group becoming one upper-case hex digit. A group with anything but
// "0" and "1" makes the whole result "0".
std::string BitsToHex(std::string_view bits);

}  // namespace brivant
