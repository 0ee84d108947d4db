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

// Empty when a country record (from its tag, as many bytes as given) reads back whole: the
// CNTR tag, a length field that matches its size, and operator entries that fill it
// exactly, as many as its count says. Otherwise what is wrong, as a clause for a message.
std::string CountryRecordProblem(const Bytes& record);

// One country record as the list finds it in a PLMN piece.
struct CountryAt {
    std::int32_t offset = 0;   // of its tag in the piece
    std::uint32_t length = 0;  // its length field
    Bytes fields;              // bytes 8-14: name, code, count
    bool operator==(const CountryAt&) const = default;
};

// The search that lists the countries of a PLMN piece (every CNTR tag from offset 1 on,
// the next search 12 bytes behind the last hit), every offset checked against the piece in
// wide arithmetic. `problem` is empty when the walk is whole: the records lie back to back,
// each read back whole, and the last one ends at the trailer, the last 16 bytes.
struct CountryWalk {
    std::vector<CountryAt> records;
    std::string problem;
    bool Whole() const { return problem.empty(); }
};
CountryWalk WalkCountries(const Bytes& piece);

// A whole country record: tag, length, name, code, count, 00, the entries.
Bytes BuildCountryRecord(const Bytes& name4, const std::string& code, std::uint8_t count,
                         const Bytes& entries);

}  // namespace brivant
