#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/HexText.h"

namespace brivant {

// One operator as the Operators Editor shows it.
struct OperatorItem {
    std::string name;        // typed-name convention, one character per byte
    std::string code;        // the two network-code digits m1 m2
    std::string storedCode;  // the code as read from the image; empty for a new operator
};

// Country code d1 d2 d3 <-> the two packed bytes (d2 d1, F d3). Other digits than hex
// ones give nothing, so only checked codes should be packed.
Bytes CountryCodeToBcd(const std::string& code);
std::string BcdToCountryCode(std::uint8_t b12, std::uint8_t b13);

// Network code m1 m2 <-> its byte (m2 in the high nibble).
std::uint8_t NetworkCodeToByte(const std::string& code);
std::string NetworkCodeText(std::uint8_t b);

// Checks of what the user typed: exactly three / two decimal digits.
bool IsCountryCode(const std::string& code);
bool IsNetworkCode(const std::string& code);

// The stored name bytes as shown: a zero byte ends the name, other bytes below 32 are
// spelled "\xHH".
std::string OperatorNameText(const std::uint8_t* data, std::size_t n);

// The entry of one operator: length, network code, F0, name length, name, zero padding up
// to a multiple of 4. The name bytes are already encoded.
Bytes BuildOperatorEntry(const Bytes& name, const std::string& code);
// The largest encoded name whose entry still fits its one-byte length.
inline constexpr std::size_t kMaxOperatorName = 248;

// The operators of a country record (from its tag, record-length bytes).
std::vector<OperatorItem> ParseOperators(const Bytes& record);

// A whole country record: tag, length, name, code, count, 00, the entries.
Bytes BuildCountryRecord(const Bytes& name4, const std::string& code, std::uint8_t count,
                         const Bytes& entries);

}  // namespace brivant
